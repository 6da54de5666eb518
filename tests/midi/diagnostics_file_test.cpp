// The diagnostics file written while the MIDI component works: its trace lines, a loader error
// traced by both guarded operations it leaves, and the profile rows of the operations.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"
#include "platform/audio/midiout.h"
#include "tests/debug/debug_fixtures.h"
#include "tests/midi/smf_builder.h"

using namespace VantrelMidiSystem;
using namespace SmfBuilder;
using VantrelDebugSystem::TVantrelDebug;
using VantrelSystem::EVtMidi;

namespace {

class DiagnosticsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetMidiOutDevice(std::make_shared<Platform::CaptureMidiDevice>());
        TVantrelMidiPlayThread::SetManualCycles(true);
    }
    void TearDown() override
    {
        TVantrelDebug::SetDebug(nullptr, false, false);
        TVantrelMidiPlayThread::SetManualCycles(false);
        Platform::SetMidiOutDevice(nullptr);
        std::remove(Path.c_str());
    }
    const std::string Path = ::testing::TempDir() + "midi-diagnostics.txt";
};

TEST_F(DiagnosticsFile, HoldsTheOperationsTracesErrorsAndProfileRows)
{
    TempFile song(File(0, 480, {Track().Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).End()}));
    const std::string missing = song.Dir() + "/missing.mid";
    const std::string report = DebugTest::Report(1000, 1000 + 598'469'120);
    {
        DebugTest::ScriptedCycles cycles{1000, 1000 + 598'469'120};
        {
            DebugTest::LeapingClock clock;
            TVantrelDebug::SetDebug(Path.c_str(), true, true);
        }
        TVantrelMidi midi(nullptr);
        midi.Init();
        midi.CreateData("01", song.Path());
        EXPECT_THROW(midi.CreateData("02", missing), EVtMidi);
        EXPECT_THROW(midi.GetSMFData("02"), EVtMidi);
        midi.DeleteData("01");
    }
    TVantrelDebug::SetDebug(nullptr, false, false);

    const std::string loadFailed = "TVantrelMidi エラー\n\nMIDIの読み込みに失敗しました。\nファイル名：" + missing + "\n";
    const std::string traces = "TVantrelMidi::初期化開始\n"
                               "TVantrelMidi::データ作成  FileName:" + song.Path() + "  DataName:01\n" +
                               loadFailed + loadFailed +
                               "TVantrelMidi エラー\n\nデータが存在しません。\nデータ名：02\n"
                               "TVantrelMidi::データ削除DataName:01\n"
                               "TVantrelMidi::クリーンアップ\n";
    const std::string head = DebugTest::Banner + report + "\n\n\n" + DebugTest::TraceHeader +
                             VantrelSystem::ToShiftJIS(traces) + "\n\n\n" + DebugTest::ResultsHead;
    const std::string file = DebugTest::ReadFile(Path);
    ASSERT_EQ(file.substr(0, head.size()), head);

    // Rows: their order follows the names' addresses, their figures the scripted counter.
    const std::regex row(R"( {0,9}(\d+) {0,19}(\d+) {0,14}(\d+) (.+))");
    std::map<std::string, int> calls;
    for (const auto& line : DebugTest::Lines(file.substr(head.size()))) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, row)) << line;
        ASSERT_EQ(line.find(m[4].str()), 46u) << line;
        EXPECT_EQ(std::stoull(m[2]) / std::stoull(m[1]), std::stoull(m[3])) << line;
        EXPECT_EQ(calls.count(m[4]), 0u) << "one row per name: " << line;
        calls[m[4]] = std::stoi(m[1]);
    }
    const std::map<std::string, int> expected = {
        {"TVantrelMidi::TVantrelMidi", 1}, {"TVantrelMidi::~TVantrelMidi", 1},
        {"TVantrelMidi::Init", 1},         {"TVantrelMidi::CreateData", 2},
        {"TVantrelMidi::GetSMFData", 1},   {"TVantrelMidi::DeleteData", 1},
        {"TVantrelMidi::CleanUp", 1},      {"TVantrelMidiData::LoadFile", 2},
    };
    for (const auto& [name, count] : expected) EXPECT_EQ(calls[name], count) << name;
}

}  // namespace
