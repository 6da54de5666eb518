#include <gtest/gtest.h>

#include <sstream>

#include "debug_fixtures.h"
#include "library/debug/vtsjis.h"

using VantrelSystem::ToShiftJIS;

namespace {

TEST(ShiftJIS, ConvertsAndReplacesEachBadCharacterWithOneQuestionMark) {
    const struct {
        const char* Name;
        std::string In, Out;
    } cases[] = {
        {"ascii", "Created by 0.80\n", "Created by 0.80\n"},
        {"full width", "ＹＥＳ：", "\x82\x78\x82\x64\x82\x72\x81\x46"},
        {"kana and kanji", "ばんと製作", "\x82\xce\x82\xf1\x82\xc6\x90\xbb\x8d\xec"},
        {"no Shift-JIS form", "aéb", "a?b"},
        {"four-byte character", "x\xF0\x9F\x8E\xB5y", "x?y"},
        {"stray byte", "\xFF\xFE", "??"},
        {"cut sequence before ascii", "\xE3\x81" "A", "?A"},
        {"cut sequence at the end", "エ\xE3\x81", "\x83\x47?"},
        {"bad then good", "é後", "?\x8c\xe3"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToShiftJIS(c.In), c.Out) << c.Name;
}

TEST(ShiftJIS, BadTraceTextDoesNotSpoilLaterLines) {
    std::ostringstream out;
    {
        VantrelSystem::TVantrelProfiler profiler(&out);
        profiler.Trace("naïve \xFF");
        profiler.Trace("ファイル名：wav\\bgm.mid");
        const auto lines = DebugTest::Lines(DebugTest::FromShiftJIS(out.str()));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], "na?ve ?");
        EXPECT_EQ(lines[1], "ファイル名：wav\\bgm.mid");
    }
}

}  // namespace
