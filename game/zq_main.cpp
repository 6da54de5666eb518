// The main window: its design-time layout, the start-up and the shutdown.
#include <ctime>
#include <filesystem>

#include "game/zq_main.h"
#include "platform/vcl/dialogs.h"

TForm1* Form1 = nullptr;

namespace {
TImage* MakeImage(TComponent* owner, int width, int height, bool visible)
{
    auto* image = new TImage(owner);
    image->Width = width;
    image->Height = height;
    image->Visible = visible;
    return image;
}
}  // namespace

TForm1::TForm1(TComponent* Owner)
    : TForm(Owner),
      I0(MakeImage(this, 400, 600, false)),
      I1(MakeImage(this, 400, 300, false)),
      I2(MakeImage(this, 400, 300, true)),
      IL80(new TImageList(this, 80, 80)),
      Font0(new TImageList(this, 16, 16)),
      ISC(new TImageList(this, 75, 17)),
      Spa8(new TImageList(this, 10, 10)),
      Font2(new TImageList(this, 16, 16)),
      IL400(new TImageList(this, 400, 300)),
      IL24(new TImageList(this, 24, 24)),
      IL96(new TImageList(this, 96, 96)),
      ILT(new TImageList(this, 230, 109)),
      Vtmid(new VantrelMidiSystem::TVantrelMidi(this))
{
    Caption = "ZQ-2";
    Width = 408;
    Height = 327;
    Position = poDesktopCenter;
    KeyPreview = true;
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
    OnKeyUp = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyUp(sender, key, shift); };
    std::error_code unreadable;
    if (std::filesystem::exists(Platform::NativeFileName("bmp\\icon.bmp"), unreadable)) {
        try {
            SetIconFromFile("bmp\\icon.bmp");
        } catch (const Exception&) {
            // A damaged icon leaves the window with the default one; nothing else needs it.
        }
    }
    LoadStoredLists();
}

TForm1::~TForm1()
{
    delete Scratch;
    if (DirectDrawObject) {
        DirectDrawObject->Release();
    }
}

void TForm1::AskDisplayMode()
{
    if (MessageDlg("フルスクリーンモードで起動しますか？（要DirectX）", mtCustom, {mbYes, mbNo}, 0) == mrYes) {
        BorderStyle = bsNone;
        const DWORD level = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;
        if (DirectDrawCreate(nullptr, &DirectDrawObject, nullptr) == DD_OK &&
            DirectDrawObject->SetCooperativeLevel(this, level) == DD_OK &&
            DirectDrawObject->SetDisplayMode(400, 300, 16) == DD_OK) {
            return;
        }
        // No full-screen display to be had: play in the window instead.
        if (DirectDrawObject) {
            DirectDrawObject->Release();
            DirectDrawObject = nullptr;
        }
    }
    BorderStyle = bsDialog;
    ClientHeight = 300;
    ClientWidth = 400;
}

void TForm1::SetUpCanvas()
{
    TCanvas* canvas = I1->Canvas;
    canvas->Brush->Color = clWhite;
    canvas->Brush->Style = bsClear;
    canvas->Font->Size = 9;
    canvas->Font->Style = TFontStyles() << fsBold;
    canvas->Font->Color = clYellow;
    canvas->Pen->Color = clYellow;
    canvas->Pen->Width = 1;
    canvas->Pen->Style = psSolid;
    canvas->Pen->Mode = pmMerge;
}

void TForm1::FormCreate(TObject*)
{
    Scratch = new TBitmap;
    LoadScores();
    Cursor = crNone;
    AskDisplayMode();
    // Without a MIDI output or the tune the game still runs: the error is shown, the music stays off.
    try {
        Vtmid->Init();
        Vtmid->CreateData("01", "wav\\bgm.mid");
        Vtmid->Stop();
        Vtmid->Play("01", true);
    } catch (const Exception& e) {
        ShowMessage(e.Message);
    }
    CalibrateJoystick();
    LoadSpriteLists();
    // Drawn before the seed, so the foreground stars are the same on every run.
    MakeForegroundLayer();
    FillDirectionTables();
    SeedGameRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    LoadSoundEffects();
    MakeBackgroundStars();
    SetUpCanvas();
    Phase = gpTitle;
    PhaseTimer = 0;
    Score = 0;
    LayerScroll = 0;
    StarScroll = 0;
    ScrollDivider = 0;
    Application->OnIdle = [this](TObject* sender, bool& done) { RunFrame(sender, done); };
    if (AssetFault != 0) {
        Close();
    }
}

void TForm1::FormCloseQuery(TObject*, bool&)
{
    SaveScores();
    if (DirectDrawObject) {
        DirectDrawObject->Release();
        DirectDrawObject = nullptr;
    }
}
