#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/vcl/dialogs.h"
#include "platform/vcl/display.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/joystick.h"

namespace {
// Each test runs against its own application object, with the headless stand-ins.
class Headless : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::UseHeadless();
        Platform::HeadlessWindows() = {};
        Platform::HeadlessDialogs().Answers.clear();
        Platform::HeadlessDialogs().Shown.clear();
        saved = Application;
        Application = &app;
        app.Title = "ZQ-2";
    }
    void TearDown() override
    {
        app.DestroyForms();
        Application = saved;
    }
    TApplication app;
    TApplication* saved = nullptr;
};

class TestForm : public TForm {
public:
    explicit TestForm(TComponent* owner) : TForm(owner)
    {
        Picture->Width = 400;
        Picture->Height = 300;
        Hidden->Visible = false;
    }
    TImage* Hidden = new TImage(this);
    TImage* Picture = new TImage(this);
};
}  // namespace

TEST_F(Headless, ClientSizeFollowsTheBorder)
{
    TForm form(nullptr);
    form.Width = 408;
    form.Height = 327;
    form.BorderStyle = bsDialog;
    EXPECT_EQ(int(form.ClientWidth), 400);
    EXPECT_EQ(int(form.ClientHeight), 300);
    form.BorderStyle = bsNone;  // the outer size stays, the client grows
    EXPECT_EQ(int(form.Width), 408);
    EXPECT_EQ(int(form.ClientHeight), 327);
    form.BorderStyle = bsDialog;
    form.ClientHeight = 300;
    form.ClientWidth = 400;
    EXPECT_EQ(int(form.Width), 408);
    EXPECT_EQ(int(form.Height), 327);
}

TEST_F(Headless, CloseAsksOnCloseQueryAndOnlyTheMainFormEndsTheProgram)
{
    TestForm* main = nullptr;
    app.CreateForm(&main);
    auto* other = new TForm(&app);
    int asked = 0;
    bool allow = false;
    main->OnCloseQuery = [&](TObject* sender, bool& canClose) {
        EXPECT_EQ(sender, main);
        EXPECT_TRUE(canClose);
        ++asked;
        canClose = allow;
    };
    main->Show();
    main->Close();
    EXPECT_TRUE(main->Showing());
    EXPECT_FALSE(app.Terminated());
    other->Close();
    EXPECT_FALSE(app.Terminated());
    allow = true;
    main->Close();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(main->Showing());
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(app.MainForm, main);
}

TEST_F(Headless, RunCallsOnIdleAndPresentsOnlyChangedPictures)
{
    TestForm* form = nullptr;
    app.CreateForm(&form);
    int frames = 0;
    app.OnIdle = [&](TObject*, bool& done) {
        ++frames;
        done = false;
        if (frames <= 3) form->Picture->Canvas->Pixels[frames][0] = clYellow;  // frames 4, 5 draw nothing
        form->Hidden->Canvas->Pixels[0][0] = clRed;  // a hidden image is never shown
        if (frames == 5) form->Close();
    };
    bool destroyed = false;
    struct Watch : TComponent {
        Watch(TComponent* owner, bool& flag) : TComponent(owner), Flag(flag) {}
        ~Watch() override { Flag = true; }
        bool& Flag;
    };
    new Watch(form, destroyed);
    app.Run();
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(Platform::HeadlessWindows().Shows, 1);
    EXPECT_EQ(Platform::HeadlessWindows().Presents, 1 + 3) << "the first picture, then the frames that drew";
    EXPECT_TRUE(destroyed) << "Run destroys the forms when it ends";
    EXPECT_EQ(app.MainForm, nullptr);
}

TEST_F(Headless, CloseDuringStartUpEndsRunBeforeTheWindowOpens)
{
    struct ClosingForm : TForm {
        explicit ClosingForm(TComponent* owner) : TForm(owner)
        {
            OnCreate = [this](TObject*) { Close(); };
        }
    };
    ClosingForm* form = nullptr;
    app.CreateForm(&form);
    int frames = 0;
    app.OnIdle = [&](TObject*, bool&) { ++frames; };
    app.Run();
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(Platform::HeadlessWindows().Shows, 0);
}

TEST_F(Headless, AnErrorInTheIdleHandlerIsShownAndTheLoopGoesOn)
{
    TestForm* form = nullptr;
    app.CreateForm(&form);
    int frames = 0;
    app.OnIdle = [&](TObject*, bool&) {
        if (++frames == 1) throw Exception("TVantrelMidi エラー\n\n失敗");
        form->Close();
    };
    app.Run();
    EXPECT_EQ(frames, 2);
    ASSERT_EQ(Platform::HeadlessDialogs().Shown.size(), 1u);
    const Platform::DialogRequest& shown = Platform::HeadlessDialogs().Shown[0];
    EXPECT_EQ(shown.Caption, "ZQ-2");
    EXPECT_EQ(shown.Text, "TVantrelMidi エラー\n\n失敗");
    EXPECT_EQ(shown.Type, mtError);
}

TEST_F(Headless, DialogsAreRecordedAndAnsweredFromTheScript)
{
    auto& dialogs = Platform::HeadlessDialogs();
    ShowMessage("ZQ2_sco.dat を作成します。");
    const TMsgDlgButtons yesNo = TMsgDlgButtons() << mbYes << mbNo;
    EXPECT_EQ(MessageDlg("フルスクリーンモードで起動しますか？（要DirectX）", mtCustom, yesNo, 0), mrNo);
    dialogs.Answers = {mrYes};
    EXPECT_EQ(MessageDlg("?", mtCustom, {mbYes, mbNo}, 0), mrYes);
    EXPECT_EQ(MessageDlg("!", mtInformation, TMsgDlgButtons(), 0), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 4u);
    EXPECT_EQ(dialogs.Shown[0].Text, "ZQ2_sco.dat を作成します。");
    EXPECT_EQ(dialogs.Shown[0].Caption, "ZQ-2");
    EXPECT_TRUE(dialogs.Shown[0].Buttons.Contains(mbOK));
    EXPECT_EQ(dialogs.Shown[1].Buttons, yesNo);
    EXPECT_TRUE(dialogs.Shown[3].Buttons.Contains(mbOK)) << "a box always has a button";
}

TEST_F(Headless, DisplayModeGoesFullScreenUntilReleased)
{
    TestForm* form = nullptr;
    app.CreateForm(&form);
    LPDIRECTDRAW dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(400, 300, 16), DDERR_NOEXCLUSIVEMODE) << "no cooperative level yet";
    EXPECT_EQ(dd->SetCooperativeLevel(form, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(400, 300, 15), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->SetDisplayMode(400, 300, 16), DD_OK);
    EXPECT_TRUE(Platform::HeadlessWindows().FullScreen);
    EXPECT_EQ(Platform::HeadlessWindows().FullScreenBits, 16);
    EXPECT_EQ(dd->Release(), 0u);
    EXPECT_FALSE(Platform::HeadlessWindows().FullScreen);
    EXPECT_EQ(DirectDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Headless, ReleasingAfterTheWindowIsGoneIsSafe)
{
    auto* form = new TestForm(nullptr);
    LPDIRECTDRAW dd = nullptr;
    DirectDrawCreate(nullptr, &dd, nullptr);
    dd->SetCooperativeLevel(form, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    dd->SetDisplayMode(400, 300, 16);
    delete form;
    Platform::HeadlessWindows().FullScreen = true;
    dd->Release();
    EXPECT_TRUE(Platform::HeadlessWindows().FullScreen) << "nothing touched the gone window";
}

TEST(Keys, SdlKeysMapToVirtualKeyCodes)
{
    struct Case {
        SDL_Keycode key;
        SDL_Scancode scan;
        WORD vk;
    };
    const Case cases[] = {
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27}, {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
        {SDLK_z, SDL_SCANCODE_Z, 90},           {SDLK_a, SDL_SCANCODE_A, 65},
        {SDLK_F11, SDL_SCANCODE_F11, 122},      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},   {SDLK_KP_4, SDL_SCANCODE_KP_4, 100},
        {SDLK_KP_6, SDL_SCANCODE_KP_6, 102},    {SDLK_LEFT, SDL_SCANCODE_KP_4, 100},  // keypad without Num Lock
        {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},     {SDLK_5, SDL_SCANCODE_5, '5'},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, 13}, {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Platform::VirtualKeyFromSdl(c.key, c.scan), c.vk) << SDL_GetKeyName(c.key);
}

TEST(Joystick, ScriptedSourceAnswersAndArgumentsAreChecked)
{
    struct Pad : Platform::JoystickSource {
        MMRESULT GetDevCaps(UINT, JOYCAPS* caps) override
        {
            *caps = {0, 65535, 0, 65535, 2};
            return JOYERR_NOERROR;
        }
        MMRESULT GetPos(UINT, JOYINFO* info) override
        {
            *info = {21844, 0, 0, JOY_BUTTON1};
            return JOYERR_NOERROR;
        }
    } pad;
    Platform::SetJoystickSource(&pad);
    JOYCAPS caps{};
    JOYINFO info{};
    EXPECT_EQ(joyGetDevCaps(JOYSTICKID1, &caps, sizeof caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.wXmax, 65535u);
    EXPECT_EQ(joyGetDevCaps(JOYSTICKID1, &caps, 4), JOYERR_PARMS);
    EXPECT_EQ(joyGetPos(JOYSTICKID1, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.wButtons, JOY_BUTTON1);
    Platform::UseHeadless();
    EXPECT_EQ(joyGetPos(JOYSTICKID1, &info), JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetDevCaps(JOYSTICKID1, &caps, sizeof caps), JOYERR_UNPLUGGED);
}

TEST(Image, CanvasDrawsOnTheImagesOwnPicture)
{
    auto* image = new TImage(nullptr);
    image->Width = 4;
    image->Height = 2;
    ASSERT_EQ(image->Canvas, image->Picture->Canvas);
    image->Canvas->Pixels[3][1] = clRed;
    EXPECT_EQ(TColor(image->Picture->Canvas->Pixels[3][1]), clRed);
    EXPECT_EQ(int(image->Picture->Width), 4);
    delete image;
}
