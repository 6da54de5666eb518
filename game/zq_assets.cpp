// Pictures and sounds from files: the window's stored image lists, the sprite lists and the
// sound-effect buffers.
#include <cstdio>
#include <cstring>

#include "game/zq_main.h"
#include "platform/audio/sound.h"
#include "platform/vcl/dialogs.h"

namespace {
struct TStoredList {
    TImageList* TForm1::*List;
    const char* FileName;
};

// The lists stored with the window, shipped as horizontal strips, images in index order.
const TStoredList StoredLists[] = {
    {&TForm1::Font0, "bmp\\Font0.bmp"}, {&TForm1::ISC, "bmp\\ISC.bmp"},
    {&TForm1::Spa8, "bmp\\Spa8.bmp"},   {&TForm1::Font2, "bmp\\Font2.bmp"},
    {&TForm1::ILT, "bmp\\ILT.bmp"},
};
}  // namespace

void TForm1::ReportPictureFault(const AnsiString& FileName)
{
    // One box is enough: a missing folder would otherwise raise one per file.
    if (AssetFault == 0) {
        ShowMessage(FileName + " を読み込めませんでした。");
    }
    AssetFault = 1;
}

void TForm1::LoadStoredLists()
{
    for (const TStoredList& stored : StoredLists) {
        try {
            (this->*stored.List)->FileLoad(rtBitmap, stored.FileName, clBlack);
        } catch (const Exception&) {
            ReportPictureFault(stored.FileName);
        }
    }
}

void TForm1::LoadSpriteList(TImageList* List, int Size, const char* Prefix, int Files)
{
    for (int n = 0; n < Files; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "bmp\\%s_%02d.bmp", Prefix, n);
        Scratch->SetSize(Size, Size);
        try {
            Scratch->LoadFromFile(name);
        } catch (const Exception&) {
            ReportPictureFault(name);
            Scratch->Canvas->Brush->Color = clBlack;
            Scratch->Canvas->Brush->Style = bsSolid;
            Scratch->Canvas->FillRect(Scratch->Canvas->ClipRect);
        }
        // Exactly one image per file, whatever the file's size, so file nn stays image nn.
        Scratch->SetSize(Size, Size);
        List->AddMasked(Scratch, clBlack);
    }
}

void TForm1::LoadSpriteLists()
{
    LoadSpriteList(IL96, 96, "96", 16);
    LoadSpriteList(IL80, 80, "80", 26);
    LoadSpriteList(IL24, 24, "24", 11);
}

bool TForm1::LoadWave(const char* FileName, unsigned char* Buffer, int Size)
{
    std::FILE* f = std::fopen(Platform::NativeFileName(FileName).c_str(), "rb");
    if (!f) {
        ShowMessage("waveファイルがありません（または損傷しています）");
        Close();
        return false;
    }
    // A short file leaves zeros after its end; a long one is cut at Size.
    std::memset(Buffer, 0, Size + 1);
    Platform::SetSoundBufferSize(Buffer, Size + 1);  // a cut-off file's wave is read to here only
    std::fread(Buffer, 1, Size, f);
    std::fclose(f);
    return true;
}

void TForm1::LoadSoundEffects()
{
    LoadWave("wav\\01.wav", WaveBuffer1, WaveSize1);
    LoadWave("wav\\02.wav", WaveBuffer2, WaveSize2);
    LoadWave("wav\\03.wav", WaveBuffer3, WaveSize3);
    LoadWave("wav\\04.wav", WaveBuffer4, WaveSize4);
}
