// The application object and its forms. A form is one desktop window whose client area shows the
// form's visible images; the window system behind it is SDL by default and a headless stand-in
// in tests (Platform::UseHeadless), where nothing touches SDL video.
//
// Presenting: after every OnIdle call (and after every event) Run shows each visible image whose
// picture changed since it was last shown, so `I2->Canvas->CopyRect(...)` is all a frame does.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/classes.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/property.h"

class TForm;
class TApplication;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter };

using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// Width and Height are the outer size; a framed window (every style but bsNone) has a client
// area 8 pixels narrower and 27 lower, so 408 × 327 outside is 400 × 300 inside.
class TForm : public TComponent {
public:
    static constexpr int FrameWidth = 8;
    static constexpr int FrameHeight = 27;

    explicit TForm(TComponent* owner);
    ~TForm() override;

    AnsiString Caption;
    TProperty<TFormBorderStyle> BorderStyle{[this] { return FBorderStyle; },
                                            [this](const TFormBorderStyle& s) { FBorderStyle = s; }};
    TProperty<int> Width{[this] { return FWidth; }, [this](const int& w) { FWidth = w; }};
    TProperty<int> Height{[this] { return FHeight; }, [this](const int& h) { FHeight = h; }};
    TProperty<int> ClientWidth{[this] { return FWidth - FrameX(); },
                               [this](const int& w) { FWidth = w + FrameX(); }};
    TProperty<int> ClientHeight{[this] { return FHeight - FrameY(); },
                                [this](const int& h) { FHeight = h + FrameY(); }};
    int Left = 0;
    int Top = 0;
    TPosition Position = poDesigned;
    TCursor Cursor = crDefault;
    bool KeyPreview = false;
    AnsiString IconFile;  // set through SetIconFromFile

    TNotifyEvent OnCreate;
    TCloseQueryEvent OnCloseQuery;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    // Runs OnCloseQuery; when it allows, hides the window, and closing the main form ends Run.
    void Close();
    // The window's icon from a BMP file, black transparent; a bad file raises Exception.
    void SetIconFromFile(const AnsiString& fileName);
    const TBitmap* Icon() const { return FIcon.get(); }

    // Runs OnCreate. CreateForm calls it; a test that constructs a form itself calls it when it
    // wants the start-up to run. The window system delivers keys through the other two.
    void DoCreate();
    void DoKeyDown(WORD& key, TShiftState shift);
    void DoKeyUp(WORD& key, TShiftState shift);

    bool Showing() const { return FShowing; }
    void Show();
    void Hide();
    // The visible images on this form, in the order they were created.
    std::vector<TImage*> VisibleImages() const;

private:
    int FrameX() const { return FBorderStyle == bsNone ? 0 : FrameWidth; }
    int FrameY() const { return FBorderStyle == bsNone ? 0 : FrameHeight; }

    TFormBorderStyle FBorderStyle = bsSizeable;
    int FWidth = 408;
    int FHeight = 327;
    bool FShowing = false;
    std::unique_ptr<TBitmap> FIcon;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    AnsiString Title;
    TIdleEvent OnIdle;
    TForm* MainForm = nullptr;
    bool Terminated() const { return FTerminated; }

    // Constructs the form owned by the application, runs its OnCreate; the first is MainForm.
    // An error raised by OnCreate reaches the caller (the program's standard exception display).
    template <class TFormClass>
    void CreateForm(TFormClass** form)
    {
        auto* created = new TFormClass(this);
        *form = created;
        AddForm(created);
        created->DoCreate();
    }
    // Shows the main form and loops until Terminate: window events, posted messages, OnIdle,
    // presenting; waits for an event when OnIdle leaves Done true. Returns after destroying the
    // forms it owns.
    void Run();
    void Terminate() { FTerminated = true; }
    // Handles pending window events and posted messages and presents, without OnIdle or waiting.
    void ProcessMessages();
    // The standard error box: the exception's message in a box captioned with the title.
    void ShowException(Exception& e);

    void FormDestroyed(TForm* form);  // called by the form's destructor
    void DestroyForms();

private:
    void AddForm(TForm* form);
    void Present();

    bool FTerminated = false;
    std::vector<TForm*> FForms;
    std::map<const TImage*, std::uint64_t> FShownStamps;  // picture stamp last shown per image
};
extern TApplication* Application;

namespace Platform {
// The desktop's windows. A form's window is created when it is shown.
struct WindowSystem {
    virtual ~WindowSystem() = default;
    virtual void ShowForm(TForm& form) = 0;
    virtual void HideForm(TForm& form) = 0;
    // Caption, border, size and cursor are applied again (cheap when nothing changed).
    virtual void SyncForm(TForm& form) = 0;
    // Shows the picture of a visible image at its place in the client area.
    virtual void PresentImage(TForm& form, const TImage& image) = 0;
    // Delivers pending key and close events to the forms.
    virtual void PumpEvents() = 0;
    // Waits until an event may be pending, at most timeoutMs.
    virtual void WaitForEvent(std::uint32_t timeoutMs) = 0;
    // Full screen at width × height (the picture scaled to the screen, aspect kept) in colours of
    // the given depth (16: 5-6-5, as that display mode shows them); 0 × 0 leaves.
    virtual bool SetFullScreen(TForm& form, int width, int height, int bitsPerPixel) = 0;
};
// Null restores the SDL window system.
void SetWindowSystem(WindowSystem* system);
WindowSystem& CurrentWindowSystem();

// Windows that exist only in memory: counts presents, keeps nothing on screen.
class HeadlessWindowSystem : public WindowSystem {
public:
    void ShowForm(TForm&) override { ++Shows; }
    void HideForm(TForm&) override { ++Hides; }
    void SyncForm(TForm&) override {}
    void PresentImage(TForm&, const TImage&) override { ++Presents; }
    void PumpEvents() override {}
    void WaitForEvent(std::uint32_t) override {}
    bool SetFullScreen(TForm&, int width, int height, int bitsPerPixel) override
    {
        FullScreen = width > 0 && height > 0;
        FullScreenBits = FullScreen ? bitsPerPixel : 0;
        return true;
    }
    int Shows = 0, Hides = 0, Presents = 0;
    bool FullScreen = false;
    int FullScreenBits = 0;
};

// Installs headless windows, scripted dialogs (no answers queued: No / OK) and an unplugged
// joystick, owned here; a test may then replace any of them.
void UseHeadless();
HeadlessWindowSystem& HeadlessWindows();
ScriptedDialogs& HeadlessDialogs();

// The virtual-key code for an SDL key code and scan code; 0 for keys the layer does not map.
WORD VirtualKeyFromSdl(std::int32_t keycode, std::int32_t scancode);
}  // namespace Platform
