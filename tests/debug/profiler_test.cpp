#include <gtest/gtest.h>

#include <sstream>

#include "debug_fixtures.h"
#include "library/debug/vtsjis.h"

using namespace VantrelSystem;
using DebugTest::FromShiftJIS;
using DebugTest::Lines;
using DebugTest::ScriptedCycles;

namespace {

const std::vector<std::string> TableHead = {
    "// ==========================================================================",
    "// プロファイリング結果出力                                                  ",
    "//                                                Created by TVantrelProfiler",
    "//                                                      時間単位はCPUクロック",
    "// ==========================================================================",
    "",
    "回数       全実行時間          平均           関数名                         ",
};

// The rows printed after the table head, read back as UTF-8.
std::vector<std::string> Rows(const std::string& sjis) {
    auto lines = Lines(FromShiftJIS(sjis));
    return {lines.begin() + std::min(lines.size(), TableHead.size()), lines.end()};
}

TEST(Profiler, WithoutMeasurementsPrintsTheHeadOnlyIn77ByteLines) {
    std::ostringstream out;
    { TVantrelProfiler profiler(&out); }
    EXPECT_EQ(Lines(FromShiftJIS(out.str())), TableHead);
    for (const auto& line : Lines(out.str()))
        if (!line.empty()) {
            EXPECT_EQ(line.size(), 77u) << FromShiftJIS(line);
        }
}

TEST(Profiler, BooksCallsTotalsAndFlooredAveragesInFixedColumns) {
    static const char kRepeated[] = "TVantrelMidi::Play";
    ScriptedCycles cycles{0, 4, 10, 13, 20, 23,                // three runs of 4 + 3 + 3 = 10
                          100, 5'000'000'000'000'000'000ull};  // an average wider than its field
    std::ostringstream out;
    {
        TVantrelProfiler profiler(&out);
        for (int i = 0; i < 3; ++i) {
            profiler.Start();
            profiler.End(kRepeated);
        }
        static const char kWide[] = "Wide";
        profiler.Start();
        profiler.End(kWide);
        out.str("");
        profiler.PrintOut();
        auto rows = Rows(out.str());
        std::vector<std::string> expected = {
            "         3                  10              3 TVantrelMidi::Play",
            "         1 49999999999999999004999999999999999900 Wide"};
        const bool wideFirst = std::less<const char*>()(kWide, kRepeated);
        if (wideFirst) std::swap(expected[0], expected[1]);
        EXPECT_EQ(rows, expected);
        // The name starts under the title's last column, counted in Shift-JIS bytes.
        const auto raw = Lines(out.str());
        EXPECT_EQ(raw[6].find(ToShiftJIS("関数名")), 46u);
        EXPECT_EQ(raw[wideFirst ? 8 : 7].find("TVantrelMidi"), 46u);
        out.str("");
    }
    // Printing does not reset: destruction prints the same rows again.
    EXPECT_EQ(Rows(out.str()).size(), 2u);
}

TEST(Profiler, NestedScopesAreInclusiveAndPairByNesting) {
    ScriptedCycles cycles{100, 110, 150, 200};
    std::ostringstream out;
    // Names in one array so their address order is known.
    static const char kNames[2][2] = {"A", "B"};
    {
        TVantrelProfiler profiler(&out);
        {
            TVantrelFunctionProfile outer(&profiler, kNames[0]);
            TVantrelFunctionProfile inner(&profiler, kNames[1]);
        }
        out.str("");
    }
    EXPECT_EQ(Rows(out.str()), (std::vector<std::string>{
                                   "         1                 100            100 A",
                                   "         1                  40             40 B"}));
}

TEST(Profiler, EqualTextsAtDifferentAddressesAreSeparateRows) {
    ScriptedCycles cycles{};
    static const char kNames[2][5] = {"Same", "Same"};
    std::ostringstream out;
    {
        TVantrelProfiler profiler(&out);
        for (const char* name : {kNames[1], kNames[0], kNames[1]}) {
            profiler.Start();
            profiler.End(name);
        }
        out.str("");
    }
    EXPECT_EQ(Rows(out.str()), (std::vector<std::string>{
                                   "         1                  10             10 Same",
                                   "         2                  20             10 Same"}));
}

TEST(Profiler, NullProfilerScopeReadsNoCounter) {
    ScriptedCycles cycles{};
    { TVantrelFunctionProfile scope(nullptr, "Nothing"); }
    EXPECT_EQ(ScriptedCycles::Reads, 0);
}

TEST(Profiler, TraceWritesTheTextUnchangedPlusOneLineFeed) {
    std::ostringstream out;
    TVantrelProfiler profiler(&out);
    profiler.Trace("一行目\n二行目\n");
    profiler.Trace("");
    EXPECT_EQ(out.str(), ToShiftJIS("一行目\n二行目\n") + "\n" + "\n");
}

}  // namespace
