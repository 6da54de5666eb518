// A headless main window in a scratch folder holding generated picture and sound files.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/zq_main.h"
#include "platform/audio/sound.h"
#include "platform/core/clock.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"

namespace spine {

// Every reading moves on one millisecond and sleeping moves it on by the time slept, so the
// frame wait ends without a real clock. Sleeps are recorded.
class TickingClock : public Platform::ClockSource {
public:
    DWORD Now() override { return Time++; }
    void SleepFor(DWORD milliseconds) override
    {
        Sleeps.push_back(milliseconds);
        Time += milliseconds;
    }
    DWORD Time = 1000;
    std::vector<DWORD> Sleeps;
};

class SilentWaves : public Platform::WavePlayer {
public:
    BOOL Play(const void*, UINT) override { return 1; }
};

// The colour that marks image `index` of a generated list with id `list`: every image is one
// solid colour, so a pixel tells which image was drawn there.
inline TColor MarkColour(int list, int index) { return RGB(list * 16 + 8, index + 1, 200); }

void WriteSolidStrip(const std::string& file, int width, int height, int images, int list);
void WriteBytes(const std::string& file, std::size_t count, std::uint8_t fill);
std::vector<std::uint8_t> ReadBytes(const std::string& file);
void WriteScores(const std::vector<std::int32_t>& values);

class SpineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // All picture and sound files a start-up reads; the wave files exactly their sizes.
    void WriteAllAssets();
    // Constructs the window and runs its creation handler, answering the full-screen question.
    void StartUp(int answer = mrNo);
    void CloseWindow();
    void RunFrames(int frames);
    void ClearSurface();
    // Dialog texts shown so far.
    std::vector<AnsiString> Messages() const;

    std::filesystem::path Folder;
    std::filesystem::path OldFolder;
    TickingClock Clock;
    SilentWaves Waves;
    std::unique_ptr<TForm1> Form;
};

}  // namespace spine
