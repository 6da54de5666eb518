#include "platform/vcl/dialogs.h"

#include "platform/vcl/backend.h"

namespace {
Platform::DialogSource* g_dialogs = nullptr;

Platform::DialogSource& Dialogs()
{
    return g_dialogs ? *g_dialogs : Platform::SdlDialogs();
}
}  // namespace

TMsgDlgButtons::TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
{
    for (TMsgDlgBtn b : buttons) *this << b;
}

void Platform::SetDialogSource(DialogSource* source)
{
    g_dialogs = source;
}

void ShowMessage(const AnsiString& text)
{
    Dialogs().Run({Application ? Application->Title : AnsiString(), text, mtCustom, TMsgDlgButtons() << mbOK});
}

int MessageDlg(const AnsiString& text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    if (buttons == TMsgDlgButtons()) buttons << mbOK;
    return Dialogs().Run({Application ? Application->Title : AnsiString(), text, type, buttons});
}

int Platform::ScriptedDialogs::Run(const DialogRequest& request)
{
    Shown.push_back(request);
    if (!Answers.empty()) {
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return request.Buttons.Contains(mbNo) ? mrNo : mrOk;
}
