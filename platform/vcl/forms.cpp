#include "platform/vcl/forms.h"

#include <algorithm>
#include <set>

#include "platform/core/messages.h"
#include "platform/vcl/backend.h"
#include "platform/vcl/joystick.h"

namespace {
std::set<const TForm*>& LiveForms()
{
    static std::set<const TForm*> forms;
    return forms;
}

Platform::WindowSystem* g_windows = nullptr;

// Milliseconds the loop sleeps when the idle handler has nothing to do.
constexpr std::uint32_t IdleWaitMs = 10;
}  // namespace

bool Platform::FormAlive(const TForm* form)
{
    return LiveForms().count(form) != 0;
}

void Platform::SetWindowSystem(WindowSystem* system)
{
    g_windows = system;
}

Platform::WindowSystem& Platform::CurrentWindowSystem()
{
    return g_windows ? *g_windows : SdlWindowSystem();
}

TForm::TForm(TComponent* owner) : TComponent(owner)
{
    LiveForms().insert(this);
}

TForm::~TForm()
{
    Hide();
    LiveForms().erase(this);
    if (Application) Application->FormDestroyed(this);
}

void TForm::Close()
{
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    Hide();
    if (Application && Application->MainForm == this) Application->Terminate();
}

void TForm::SetIconFromFile(const AnsiString& fileName)
{
    auto icon = std::make_unique<TBitmap>();
    icon->LoadFromFile(fileName);
    FIcon = std::move(icon);
    if (FShowing) Platform::CurrentWindowSystem().SyncForm(*this);
}

void TForm::DoCreate()
{
    if (OnCreate) OnCreate(this);
}

void TForm::DoKeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TForm::DoKeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TForm::Show()
{
    if (FShowing) return;
    FShowing = true;
    Platform::CurrentWindowSystem().ShowForm(*this);
}

void TForm::Hide()
{
    if (!FShowing) return;
    FShowing = false;
    Platform::CurrentWindowSystem().HideForm(*this);
}

std::vector<TImage*> TForm::VisibleImages() const
{
    std::vector<TImage*> images;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* image = dynamic_cast<TImage*>(Components(i)); image && image->Visible) images.push_back(image);
    return images;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {}

void TApplication::AddForm(TForm* form)
{
    FForms.push_back(form);
    if (!MainForm) MainForm = form;
}

void TApplication::FormDestroyed(TForm* form)
{
    std::erase(FForms, form);
    if (MainForm == form) MainForm = nullptr;
}

void TApplication::DestroyForms()
{
    while (!FForms.empty()) delete FForms.back();
    FShownStamps.clear();
}

void TApplication::Present()
{
    Platform::WindowSystem& windows = Platform::CurrentWindowSystem();
    for (TForm* form : FForms) {
        if (!form->Showing()) continue;
        windows.SyncForm(*form);
        for (TImage* image : form->VisibleImages()) {
            std::uint64_t& shown = FShownStamps[image];
            if (shown == image->Canvas->Buffer().Changes) continue;
            shown = image->Canvas->Buffer().Changes;
            windows.PresentImage(*form, *image);
        }
    }
}

void TApplication::ProcessMessages()
{
    try {
        Platform::CurrentWindowSystem().PumpEvents();
        Platform::DispatchPostedMessages();
        Present();
    } catch (Exception& e) {
        ShowException(e);
    }
}

void TApplication::Run()
{
    if (MainForm && !FTerminated) MainForm->Show();
    while (!FTerminated) {
        ProcessMessages();
        if (FTerminated) break;
        bool done = true;
        try {
            if (OnIdle) OnIdle(this, done);
        } catch (Exception& e) {
            ShowException(e);
        }
        Present();
        // Nothing to do: wait a little for a posted message, then for a window event.
        if (done && !FTerminated && !Platform::WaitForPostedMessage(IdleWaitMs / 2))
            Platform::CurrentWindowSystem().WaitForEvent(IdleWaitMs / 2);
    }
    DestroyForms();
}

void TApplication::ShowException(Exception& e)
{
    MessageDlg(e.Message, mtError, TMsgDlgButtons() << mbOK, 0);
}

// Never destroyed: forms left at exit must not outlive the units they use.
TApplication* Application = new TApplication;

namespace {
struct UnpluggedJoystick : Platform::JoystickSource {
    MMRESULT GetDevCaps(UINT, JOYCAPS*) override { return JOYERR_UNPLUGGED; }
    MMRESULT GetPos(UINT, JOYINFO*) override { return JOYERR_UNPLUGGED; }
};
}  // namespace

Platform::HeadlessWindowSystem& Platform::HeadlessWindows()
{
    static HeadlessWindowSystem windows;
    return windows;
}

Platform::ScriptedDialogs& Platform::HeadlessDialogs()
{
    static ScriptedDialogs dialogs;
    return dialogs;
}

void Platform::UseHeadless()
{
    static UnpluggedJoystick joystick;
    SetWindowSystem(&HeadlessWindows());
    SetDialogSource(&HeadlessDialogs());
    SetJoystickSource(&joystick);
}
