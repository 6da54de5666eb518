#include <gtest/gtest.h>

#include <cstdlib>

#include "debug_fixtures.h"
#include "library/debug/vtsjis.h"
#include "library/support/vterrors.h"

using namespace VantrelSystem;
using DebugTest::Banner;
using DebugTest::DiagnosticsSession;
using DebugTest::Report;
using DebugTest::ResultsHead;
using DebugTest::TraceHeader;
using DebugTest::LeapingClock;
using DebugTest::ReadFile;
using DebugTest::ScriptedCycles;
using VantrelDebugSystem::TVantrelDebug;

namespace {

TEST(Switchboard, NullNameWhileOffLeavesEverythingOff) {
    TVantrelDebug::SetDebug(nullptr, true, true);
    EXPECT_FALSE(TVantrelDebug::GetDebug());
    EXPECT_FALSE(TVantrelDebug::GetProfile());
    EXPECT_EQ(TVantrelDebug::GetProfiler(), nullptr);
}

TEST(Switchboard, SwitchesAreSetAsAskedInEveryCombination) {
    for (bool debug : {false, true})
        for (bool profile : {false, true}) {
            DiagnosticsSession session(debug, profile);
            EXPECT_EQ(TVantrelDebug::GetDebug(), debug);
            EXPECT_EQ(TVantrelDebug::GetProfile(), profile);
            EXPECT_NE(TVantrelDebug::GetProfiler(), nullptr);
            session.Close();
            EXPECT_FALSE(TVantrelDebug::GetDebug() || TVantrelDebug::GetProfile());
            EXPECT_EQ(TVantrelDebug::GetProfiler(), nullptr);
        }
}

TEST(Switchboard, FileHoldsBannerReportTracesAndResultsInOrder) {
    const std::string report = Report(1000, 1000 + 598'469'120);
    std::string file;
    {
        ScriptedCycles cycles{1000, 1000 + 598'469'120, 5000, 5100};
        DiagnosticsSession session(true, true);
        VantrelGuard("TVantrelMidi::Init", [] { VantrelTrace("初期化"); });
        file = session.Close();
    }
    EXPECT_NE(report.find(ToShiftJIS("：2992.3MHz\n")), std::string::npos);
    EXPECT_EQ(file, Banner + report + "\n\n\n" + TraceHeader + ToShiftJIS("初期化\n") + "\n\n\n" +
                        ResultsHead + "         1                 100            100 TVantrelMidi::Init\n");
    for (const auto& line : DebugTest::Lines(file))
        if (line.starts_with("//")) {
            EXPECT_EQ(line.size(), 77u) << DebugTest::FromShiftJIS(line);
        }
}

TEST(Switchboard, BothSwitchesOffStillWritesTheFramesButNoTraceOrRows) {
    const std::string report = Report(0, 0);
    std::string file;
    {
        ScriptedCycles cycles{0, 0};
        DiagnosticsSession session(false, false);
        EXPECT_THROW(VantrelGuard("T::Op", [] { throw EVtMidi(VtErrorText::NotInitialized); }), EVtMidi);
        file = session.Close();
    }
    EXPECT_EQ(file, Banner + report + "\n\n\n" + TraceHeader + "\n\n\n" + ResultsHead);
}

TEST(Switchboard, ReopeningOneNameKeepsOnlyTheSecondOutput) {
    DiagnosticsSession session(true, true, "reopen");
    VantrelGuard("T::First", [] { VantrelTrace("一回目"); });
    TVantrelDebug::SetDebug(session.Path.c_str(), true, false);
    VantrelTrace("二回目");
    const std::string text = DebugTest::FromShiftJIS(session.Close());
    EXPECT_EQ(text.find("一回目"), std::string::npos);
    EXPECT_EQ(text.find("T::First"), std::string::npos);
    EXPECT_NE(text.find("二回目"), std::string::npos);
    EXPECT_EQ(text.find("Vantrel Game Library"), text.rfind("Vantrel Game Library"));
}

TEST(Switchboard, UncreatableFileLosesWritesSilentlyWithSwitchesSet) {
    const std::string path = ::testing::TempDir() + "no-such-folder/diagnostics.txt";
    {
        LeapingClock clock;
        TVantrelDebug::SetDebug(path.c_str(), true, true);
    }
    EXPECT_TRUE(TVantrelDebug::GetDebug());
    EXPECT_TRUE(TVantrelDebug::GetProfile());
    EXPECT_THROW(VantrelGuard("T::Op", [] { throw EVtMidi(VtErrorText::NotInitialized); }), EVtMidi);
    TVantrelDebug::SetDebug(nullptr, false, false);
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST(Switchboard, ProgramEndClosesTheOutputWithItsResults) {
    const std::string path = ::testing::TempDir() + "at-exit-" + std::to_string(getpid()) + ".txt";
    EXPECT_EXIT(
        {
            LeapingClock clock;
            TVantrelDebug::SetDebug(path.c_str(), true, true);
            VantrelGuard("T::AtExit", [] {});
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    const std::string text = DebugTest::FromShiftJIS(ReadFile(path));
    EXPECT_NE(text.find("プロファイリング結果出力"), std::string::npos);
    EXPECT_NE(text.find(" T::AtExit\n"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
