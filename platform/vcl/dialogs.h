// Modal message boxes: ShowMessage and MessageDlg. They are captioned with the application's
// title and work before any window exists. Tests replace them with scripted answers.
#pragma once
#include <deque>
#include <initializer_list>
#include <vector>

#include "platform/core/sysutils.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// `TMsgDlgButtons() << mbYes << mbNo`
class TMsgDlgButtons {
public:
    TMsgDlgButtons() = default;
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons);
    TMsgDlgButtons& operator<<(TMsgDlgBtn b) { FBits |= 1u << b; return *this; }
    bool Contains(TMsgDlgBtn b) const { return (FBits >> b) & 1u; }
    friend bool operator==(const TMsgDlgButtons&, const TMsgDlgButtons&) = default;
private:
    unsigned FBits = 0;
};

void ShowMessage(const AnsiString& text);
// Returns mrYes, mrNo, mrOk or mrCancel; closing the box answers No (or OK without a No button).
int MessageDlg(const AnsiString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

namespace Platform {
struct DialogRequest {
    AnsiString Caption;
    AnsiString Text;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
};

// The dialogs behind ShowMessage and MessageDlg; null restores the SDL ones.
struct DialogSource {
    virtual ~DialogSource() = default;
    virtual int Run(const DialogRequest& request) = 0;
};
void SetDialogSource(DialogSource* source);

// Records every request and answers from Answers in order; when they run out it answers mrNo
// if the box has a No button, else mrOk.
class ScriptedDialogs : public DialogSource {
public:
    int Run(const DialogRequest& request) override;
    std::deque<int> Answers;
    std::vector<DialogRequest> Shown;
};
}  // namespace Platform
