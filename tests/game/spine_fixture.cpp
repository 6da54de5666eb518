#include "tests/game/spine_fixture.h"

#include <fstream>
#include <random>

#include "platform/audio/midiout.h"

namespace spine {

void WriteSolidStrip(const std::string& file, int width, int height, int images, int list)
{
    TBitmap bitmap;
    bitmap.SetSize(width * images, height);
    for (int i = 0; i < images; ++i) {
        bitmap.Canvas->Brush->Color = MarkColour(list, i);
        bitmap.Canvas->Brush->Style = bsSolid;
        bitmap.Canvas->FillRect(Rect(i * width, 0, (i + 1) * width, height));
    }
    bitmap.SaveToFile(file);
}

void WriteBytes(const std::string& file, std::size_t count, std::uint8_t fill)
{
    std::ofstream out(file, std::ios::binary);
    const std::vector<char> bytes(count, static_cast<char>(fill));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteScores(const std::vector<std::int32_t>& values)
{
    std::ofstream out("ZQ2_sco.dat", std::ios::binary);
    for (std::int32_t v : values) {
        const auto u = static_cast<std::uint32_t>(v);
        const char bytes[4] = {char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
        out.write(bytes, 4);
    }
}

void SpineTest::SetUp()
{
    OldFolder = std::filesystem::current_path();
    std::random_device seed;
    Folder = std::filesystem::temp_directory_path() / ("zq_spine_" + std::to_string(seed()));
    std::filesystem::create_directories(Folder);
    std::filesystem::current_path(Folder);
    Platform::UseHeadless();
    Platform::HeadlessDialogs().Answers.clear();
    Platform::HeadlessDialogs().Shown.clear();
    Platform::SetClockSource(&Clock);
    Platform::SetWavePlayer(&Waves);
    // The music goes to a capture device, and no playback thread moves the clock with its sleeps.
    Platform::SetMidiOutDevice(std::make_shared<Platform::CaptureMidiDevice>());
    VantrelMidiSystem::TVantrelMidiPlayThread::SetManualCycles(true);
    ZqRandom::SetRandomSource(nullptr);
    LastFrameTime = 0;
}

void SpineTest::TearDown()
{
    Form.reset();
    VantrelMidiSystem::TVantrelMidiPlayThread::SetManualCycles(false);
    Platform::SetMidiOutDevice(nullptr);
    Application->OnIdle = nullptr;
    Platform::SetWavePlayer(nullptr);
    Platform::SetClockSource(nullptr);
    ZqRandom::SetRandomSource(nullptr);
    std::filesystem::current_path(OldFolder);
    std::filesystem::remove_all(Folder);
}

void SpineTest::WriteAllAssets()
{
    std::filesystem::create_directories("bmp");
    std::filesystem::create_directories("wav");
    WriteSolidStrip("bmp/Font0.bmp", 16, 16, 39, 0);
    WriteSolidStrip("bmp/ISC.bmp", 75, 17, 4, 1);
    WriteSolidStrip("bmp/Spa8.bmp", 10, 10, 6, 2);
    WriteSolidStrip("bmp/Font2.bmp", 16, 16, 10, 3);
    WriteSolidStrip("bmp/ILT.bmp", 230, 109, 1, 4);
    const struct { int Size, Files, List; } sprites[] = {{96, 16, 5}, {80, 26, 6}, {24, 11, 7}};
    for (const auto& s : sprites) {
        for (int n = 0; n < s.Files; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "bmp/%d_%02d.bmp", s.Size, n);
            TBitmap bitmap;
            bitmap.SetSize(s.Size, s.Size);
            bitmap.Canvas->Brush->Color = MarkColour(s.List, n);
            bitmap.Canvas->FillRect(Rect(0, 0, s.Size, s.Size));
            bitmap.SaveToFile(name);
        }
    }
    WriteBytes("wav/01.wav", WaveSize1, 1);
    WriteBytes("wav/02.wav", WaveSize2, 2);
    WriteBytes("wav/03.wav", WaveSize3, 3);
    WriteBytes("wav/04.wav", WaveSize4, 4);
    // A tune without events: a header and one track holding only its end.
    const char tune[] = "MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\0\4\0\xFF\x2F\0";
    std::ofstream("wav/bgm.mid", std::ios::binary).write(tune, sizeof tune - 1);
}

void SpineTest::StartUp(int answer)
{
    Platform::HeadlessDialogs().Answers.push_back(answer);
    Form = std::make_unique<TForm1>(nullptr);
    Form->FormCreate(Form.get());
    // Nobody answers a stop without the thread: a 1 ms fade run by hand ends the music, so that
    // closing the form does not wait for an answer.
    if (Form->Vtmid->Playing()) {
        Form->Vtmid->SetFadeOut(1);
        Form->Vtmid->PlayThread()->Cycle();
    }
}

void SpineTest::CloseWindow()
{
    bool canClose = true;
    Form->FormCloseQuery(Form.get(), canClose);
    EXPECT_TRUE(canClose);
}

void SpineTest::RunFrames(int frames)
{
    for (int i = 0; i < frames; ++i) {
        bool done = true;
        Form->RunFrame(Form.get(), done);
        ASSERT_FALSE(done);
    }
}

void SpineTest::ClearSurface()
{
    Form->I1->Canvas->Brush->Style = bsSolid;
    Form->I1->Canvas->Brush->Color = clBlack;
    Form->I1->Canvas->FillRect(Rect(0, 0, 400, 300));
    Form->I1->Canvas->Brush->Style = bsClear;
    Form->I1->Canvas->Brush->Color = clWhite;
}

std::vector<AnsiString> SpineTest::Messages() const
{
    std::vector<AnsiString> texts;
    for (const auto& shown : Platform::HeadlessDialogs().Shown) {
        texts.push_back(shown.Text);
    }
    return texts;
}

}  // namespace spine
