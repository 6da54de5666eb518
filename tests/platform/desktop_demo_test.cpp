// Real SDL windows and dialogs, driven from outside by the e2e script (tests/e2e/platform_dialog.sh);
// disabled in ordinary runs, which have no display.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/vcl/dialogs.h"
#include "platform/vcl/display.h"
#include "platform/vcl/forms.h"

namespace {
class DemoForm : public TForm {
public:
    explicit DemoForm(TComponent* owner) : TForm(owner)
    {
        Caption = "ZQ-2";
        Position = poDesktopCenter;
        KeyPreview = true;
        OnCreate = [this](TObject*) { Start(); };
        OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
            std::printf("key=%d\n", key);
            std::fflush(stdout);
            if (key == VK_ESCAPE) Close();
        };
        OnCloseQuery = [this](TObject*, bool&) {
            std::printf("closing\n");
            std::fflush(stdout);
            if (Display) Display->Release();
            Display = nullptr;
        };
    }

private:
    void Start()
    {
        Cursor = crNone;
        TBitmap icon;
        icon.SetSize(16, 16);
        icon.Canvas->Brush->Color = clAqua;
        icon.Canvas->Ellipse(0, 0, 16, 16);
        const std::string iconFile = (std::filesystem::temp_directory_path() / "zq_demo_icon.bmp").string();
        icon.SaveToFile(iconFile);
        SetIconFromFile(iconFile);
        std::filesystem::remove(iconFile);
        ShowMessage("ZQ2_sco.dat を作成します。");
        const int answer = MessageDlg("フルスクリーンモードで起動しますか？（要DirectX）", mtCustom,
                                      TMsgDlgButtons() << mbYes << mbNo, 0);
        std::printf("answer=%d\n", answer);
        std::fflush(stdout);
        if (answer == mrYes) {
            BorderStyle = bsNone;
            DirectDrawCreate(nullptr, &Display, nullptr);
            Display->SetCooperativeLevel(this, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
            Display->SetDisplayMode(400, 300, 16);
        } else {
            BorderStyle = bsDialog;
            ClientHeight = 300;
            ClientWidth = 400;
        }
        Screen->Width = 400;
        Screen->Height = 300;
        TCanvas& c = *Screen->Canvas;
        c.Brush->Color = RGB(0, 0, 64);
        c.FillRect(c.ClipRect);
        c.Pen->Color = clYellow;
        c.Pen->Mode = pmMerge;
        c.Brush->Style = bsClear;
        c.Ellipse(100, 50, 300, 250);
        c.Font->Style = TFontStyles() << fsBold;
        c.Font->Color = clYellow;
        c.TextOut(139, 190, "Mivo ( September 2001 )");
        for (int x = 0; x < 400; ++x) c.Pixels[x][299] = clLime;
        Application->OnIdle = [](TObject*, bool& done) { done = true; };
    }

    TImage* Screen = new TImage(this);
    LPDIRECTDRAW Display = nullptr;
};
}  // namespace

TEST(DISABLED_Desktop, DialogsThenWindow)
{
    Platform::SetWindowSystem(nullptr);
    Platform::SetDialogSource(nullptr);
    Application->Title = "ZQ-2";
    DemoForm* form = nullptr;
    Application->CreateForm(&form);
    Application->Run();
    std::printf("ended\n");
}
