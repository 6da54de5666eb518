#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "debug_fixtures.h"

using namespace VantrelSystem;
using DebugTest::FromShiftJIS;
using DebugTest::LeapingClock;
using DebugTest::Lines;
using DebugTest::ScriptedCycles;

namespace {

// Fixed register values per CPUID function; remembers which functions were asked.
class FixedRegisters : public TVantrelCPUIDSource {
public:
    explicit FixedRegisters(bool hasCPUID = true) : FHas(hasCPUID) {}
    bool HasCPUID() const override { return FHas; }
    void Query(std::uint32_t function, std::uint32_t regs[4]) const override {
        Asked.insert(function);
        auto it = Values.find(function);
        const std::array<std::uint32_t, 4> none{};
        std::memcpy(regs, (it == Values.end() ? none : it->second).data(), 16);
    }
    FixedRegisters& Vendor(const char (&id)[13]) {
        auto& r = Values[0];
        std::memcpy(&r[1], id, 4);
        std::memcpy(&r[3], id + 4, 4);
        std::memcpy(&r[2], id + 8, 4);
        return *this;
    }
    FixedRegisters& Brand(const std::string& text) {
        char bytes[48] = {};
        std::memcpy(bytes, text.data(), std::min<std::size_t>(48, text.size()));
        for (std::uint32_t i = 0; i < 3; ++i) std::memcpy(Values[0x80000002u + i].data(), bytes + 16 * i, 16);
        return *this;
    }
    FixedRegisters& Set(std::uint32_t function, int reg, std::uint32_t value) {
        Values[function][reg] = value;
        return *this;
    }
    std::map<std::uint32_t, std::array<std::uint32_t, 4>> Values;
    mutable std::set<std::uint32_t> Asked;

private:
    bool FHas;
};
enum { Eax, Ebx, Ecx, Edx };

std::string ReportOf(TVantrelCPUID& cpu, std::ostream& out) {
    out << cpu;
    return static_cast<std::ostringstream&>(out).str();
}

TEST(CpuReport, ProcessorWithoutCPUIDGivesTheFixedEmptyReport) {
    FixedRegisters regs(false);
    regs.Vendor("GenuineIntel").Set(1, Edx, 0xFFFFFFFF);
    TVantrelCPUID cpu(regs);
    ScriptedCycles cycles{};
    cpu.MeasureClock();
    std::ostringstream out;
    const std::string sjis = ReportOf(cpu, out);
    const std::vector<std::string> expected = {
        "// ==========================================================================",
        "// ＣＰＵ情報出力                                                            ",
        "//                                                   Created by TVantrelCPUID",
        "// ==========================================================================",
        "",
        "CPUメーカー                    ：不明",
        "CPU周波数                      ：0MHz",
        "",
        "メーカー識別文字列             ：",
        "",
        "CPU命令ファミリ                ：086",
        "CPUモデル                      ：0",
        "CPUステッピングID              ：0",
        "",
        "最大CPUID関数                  ：0",
        "最大CPUID拡張関数              ：0",
        "",
        "CPUID命令サポート              ：ＮＯ",
        "浮動小数点ユニット             ：ＮＯ",
        "仮想8086モード                 ：ＮＯ",
        "デバッグ拡張                   ：ＮＯ",
        "ページサイズ拡張               ：ＮＯ",
        "タイムスタンプカウンタ         ：ＮＯ",
        "モデル固有レジスタ             ：ＮＯ",
        "物理アドレス拡張               ：ＮＯ",
        "マシンチェック例外             ：ＮＯ",
        "CMPXCHG8B命令                  ：ＮＯ",
        "オンチップAPIC                 ：ＮＯ",
        "高速システムコール             ：ＮＯ",
        "メモリタイプ範囲レジスタ       ：ＮＯ",
        "PTEグローバルフラグ            ：ＮＯ",
        "マシンチェックアーキテクチャ   ：ＮＯ",
        "条件付転送および比較命令       ：ＮＯ",
        "ページ属性テーブル             ：ＮＯ",
        "36ビットページサイズ拡張       ：ＮＯ",
        "プロセッサ番号                 ：ＮＯ",
        "CLFLUSH命令                    ：ＮＯ",
        "デバッグトレースストア         ：ＮＯ",
        "CPUACPIサポート                ：ＮＯ",
        "MMXテクノロジ                  ：ＮＯ",
        "FPU/MMX/SSE命令の高速保存&復元 ：ＮＯ",
        "SSEテクノロジ                  ：ＮＯ",
        "SSE2テクノロジ                 ：ＮＯ",
        "Self-Snoop                     ：ＮＯ",
        "温度モニタサポート             ：ＮＯ",
        "拡張MMXテクノロジ              ：ＮＯ",
        "3DNow!テクノロジ               ：ＮＯ",
        "拡張3DNow!テクノロジ           ：ＮＯ",
    };
    EXPECT_EQ(Lines(FromShiftJIS(sjis)), expected);
    EXPECT_TRUE(regs.Asked.empty());
    EXPECT_EQ(ScriptedCycles::Reads, 0) << "no clock measurement without a time-stamp counter";
    const std::string colon = "\x81\x46";  // the full-width colon in Shift-JIS
    for (const auto& line : Lines(sjis)) {
        if (line.starts_with("//")) {
            EXPECT_EQ(line.size(), 77u) << FromShiftJIS(line);
        }
        const auto at = line.find(colon);
        if (at != std::string::npos) {
            EXPECT_EQ(at + colon.size(), 33u) << FromShiftJIS(line);
        }
    }
    EXPECT_EQ(out.precision(), 5);
}

struct ReportCase {
    const char* Name;
    FixedRegisters Regs;
    std::vector<std::string> Present;
    std::vector<std::string> Absent;
};

TEST(CpuReport, FieldsComeFromTheirRegisters) {
    const std::string yes = "：ＹＥＳ", no = "：ＮＯ";
    const ReportCase cases[] = {
        {"highest extended function exactly 0x80000001",
         FixedRegisters()
             .Vendor("AuthenticAMD")
             .Set(0x80000000u, Eax, 0x80000001u)
             .Set(0x80000001u, Edx, (1u << 22) | (1u << 31))
             .Brand("never read"),
         {"CPUメーカー                    ：AMD", "最大CPUID拡張関数              ：80000001",
          "拡張MMXテクノロジ              " + yes, "3DNow!テクノロジ               " + yes,
          "拡張3DNow!テクノロジ           " + no, "CPUID命令サポート              " + yes},
         {"プロセッサ名文字列"}},
        {"unknown vendor",
         FixedRegisters().Vendor("VantrelChip!").Set(0, Eax, 0x1F).Set(0x80000000u, Eax, 0x8000000Au)
             .Brand("Vantrel Test Processor"),
         {"CPUメーカー                    ：不明", "メーカー識別文字列             ：VantrelChip!",
          "プロセッサ名文字列             ：Vantrel Test Processor",
          "最大CPUID関数                  ：1f", "最大CPUID拡張関数              ：8000000a"},
         {}},
        {"family 15, extended fields ignored",
         FixedRegisters().Vendor("GenuineIntel").Set(1, Eax, 0x0FF00F23u).Set(1, Edx, 1u << 29),
         {"CPUメーカー                    ：Intel", "CPU命令ファミリ                ：1586",
          "CPUモデル                      ：2", "CPUステッピングID              ：3",
          "温度モニタサポート             " + yes, "浮動小数点ユニット             " + no},
         {"プロセッサ名文字列"}},
        {"brand filling all 48 characters",
         FixedRegisters().Vendor("CentaurHauls").Set(0x80000000u, Eax, 0x80000004u).Brand(std::string(48, 'B')),
         {"CPUメーカー                    ：IDT", "プロセッサ名文字列             ：" + std::string(48, 'B')},
         {}},
    };
    for (const auto& c : cases) {
        TVantrelCPUID cpu(c.Regs);
        std::ostringstream out;
        const auto lines = Lines(FromShiftJIS(ReportOf(cpu, out)));
        for (const auto& want : c.Present)
            EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << c.Name << ": " << want;
        for (const auto& unwanted : c.Absent)
            for (const auto& line : lines) EXPECT_EQ(line.find(unwanted), std::string::npos) << c.Name;
    }
    EXPECT_EQ(cases[0].Regs.Asked.count(0x80000002u), 0u);
}

TEST(CpuReport, ClockIsFiveTimesTheCyclesOf200Milliseconds) {
    struct ClockCase {
        std::uint64_t C0, C1;
        const char* Line;
    };
    const ClockCase cases[] = {
        {1000, 1000, "CPU周波数                      ：0MHz"},
        {1000, 1000 + 598'469'120, "CPU周波数                      ：2992.3MHz"},
        // Only the low halves count, so a carry into the high half does not matter.
        {0xFFFFFFF0ull, 0x100000000ull + 199'999'990, "CPU周波数                      ：1000MHz"},
    };
    for (const auto& c : cases) {
        LeapingClock clock;
        ScriptedCycles cycles{c.C0, c.C1};
        TVantrelCPUID cpu(FixedRegisters().Set(1, Edx, 1u << 4));
        cpu.MeasureClock();
        EXPECT_GE(clock.FNow, 200u);
        std::ostringstream out;
        const auto lines = Lines(FromShiftJIS(ReportOf(cpu, out)));
        EXPECT_EQ(lines.at(6), c.Line);
    }
}

TEST(CpuReport, NativeProbeReportsThisProcessor) {
    TVantrelCPUID cpu;
    std::ostringstream out;
    const auto lines = Lines(FromShiftJIS(ReportOf(cpu, out)));
    EXPECT_TRUE(lines.size() == 48u || lines.size() == 49u) << lines.size();
#if defined(__x86_64__)
    EXPECT_NE(std::find(lines.begin(), lines.end(), "CPUID命令サポート              ：ＹＥＳ"), lines.end());
#endif
}

}  // namespace
