#include <cstring>
#include <ostream>

#include "library/debug/vtdebug.h"
#include "library/debug/vtsjis.h"
#include "platform/core/clock.h"
#include "platform/core/threads.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

namespace VantrelSystem {
namespace {

class TNativeCPUIDSource : public TVantrelCPUIDSource {
public:
    bool HasCPUID() const override {
#if defined(__x86_64__) || defined(__i386__)
        // The processor has CPUID when software can flip the ID flag (bit 21).
        const unsigned long long id = 1ull << 21;
        const unsigned long long before = __readeflags();
        __writeeflags(before ^ id);
        const unsigned long long after = __readeflags();
        __writeeflags(before);
        return ((before ^ after) & id) != 0;
#else
        return false;
#endif
    }
    void Query(std::uint32_t function, std::uint32_t regs[4]) const override {
#if defined(__x86_64__) || defined(__i386__)
        __cpuid(function, regs[0], regs[1], regs[2], regs[3]);
#else
        (void)function;
        regs[0] = regs[1] = regs[2] = regs[3] = 0;
#endif
    }
};

enum { StandardEdx, ExtendedEdx };

struct TFeatureRow {
    const char* Label;
    int Word;
    int Bit;
};

const TFeatureRow FeatureRows[TVantrelCPUID::FeatureCount] = {
    {"浮動小数点ユニット             ：", StandardEdx, 0},
    {"仮想8086モード                 ：", StandardEdx, 1},
    {"デバッグ拡張                   ：", StandardEdx, 2},
    {"ページサイズ拡張               ：", StandardEdx, 3},
    {"タイムスタンプカウンタ         ：", StandardEdx, 4},
    {"モデル固有レジスタ             ：", StandardEdx, 5},
    {"物理アドレス拡張               ：", StandardEdx, 6},
    {"マシンチェック例外             ：", StandardEdx, 7},
    {"CMPXCHG8B命令                  ：", StandardEdx, 8},
    {"オンチップAPIC                 ：", StandardEdx, 9},
    {"高速システムコール             ：", StandardEdx, 11},
    {"メモリタイプ範囲レジスタ       ：", StandardEdx, 12},
    {"PTEグローバルフラグ            ：", StandardEdx, 13},
    {"マシンチェックアーキテクチャ   ：", StandardEdx, 14},
    {"条件付転送および比較命令       ：", StandardEdx, 15},
    {"ページ属性テーブル             ：", StandardEdx, 16},
    {"36ビットページサイズ拡張       ：", StandardEdx, 17},
    {"プロセッサ番号                 ：", StandardEdx, 18},
    {"CLFLUSH命令                    ：", StandardEdx, 19},
    {"デバッグトレースストア         ：", StandardEdx, 21},
    {"CPUACPIサポート                ：", StandardEdx, 22},
    {"MMXテクノロジ                  ：", StandardEdx, 23},
    {"FPU/MMX/SSE命令の高速保存&復元 ：", StandardEdx, 24},
    {"SSEテクノロジ                  ：", StandardEdx, 25},
    {"SSE2テクノロジ                 ：", StandardEdx, 26},
    {"Self-Snoop                     ：", StandardEdx, 27},
    {"温度モニタサポート             ：", StandardEdx, 29},
    {"拡張MMXテクノロジ              ：", ExtendedEdx, 22},
    {"3DNow!テクノロジ               ：", ExtendedEdx, 31},
    {"拡張3DNow!テクノロジ           ：", ExtendedEdx, 30},
};
constexpr int TimeStampCounterRow = 4;

const char* const VendorIDs[] = {"GenuineIntel", "AuthenticAMD", "CyrixInstead", "CentaurHauls"};
const char* const MakerNames[] = {"不明", "Intel", "AMD", "Cyrix", "IDT"};

const char* const ReportHeader[] = {
    "// ==========================================================================",
    "// ＣＰＵ情報出力                                                            ",
    "//                                                   Created by TVantrelCPUID",
    "// ==========================================================================",
    "",
};

constexpr DWORD ClockSpanMs = 200;
constexpr std::uint32_t ClockScale = 1000 / ClockSpanMs;

const char* YesNo(bool yes) { return yes ? "ＹＥＳ" : "ＮＯ"; }

}  // namespace

const TVantrelCPUIDSource& NativeCPUIDSource() {
    static const TNativeCPUIDSource source;
    return source;
}

TVantrelCPUID::TVantrelCPUID() : TVantrelCPUID(NativeCPUIDSource()) {}

TVantrelCPUID::TVantrelCPUID(const TVantrelCPUIDSource& source) { Probe(source); }

void TVantrelCPUID::Probe(const TVantrelCPUIDSource& source) {
    FHasCPUID = source.HasCPUID() ? 1 : 0;
    if (!FHasCPUID) return;
    std::uint32_t r[4];
    source.Query(0, r);
    FMaxFunction = r[0];
    std::memcpy(FVendorID, &r[1], 4);
    std::memcpy(FVendorID + 4, &r[3], 4);
    std::memcpy(FVendorID + 8, &r[2], 4);
    source.Query(1, r);
    FSignature = r[0];
    FFeatures = r[3];
    source.Query(0x80000000u, r);
    FMaxExtFunction = r[0];
    if (FMaxExtFunction >= 0x80000001u) {
        source.Query(0x80000001u, r);
        FExtFeatures = r[3];
        if (FMaxExtFunction != 0x80000001u) {
            for (std::uint32_t i = 0; i < 3; ++i) {
                source.Query(0x80000002u + i, r);
                std::memcpy(FBrand + 16 * i, r, 16);
            }
        }
    }
    FBrand[48] = '\0';

    FFamily = (FSignature >> 8) & 0xF;
    FModel = (FSignature >> 4) & 0xF;
    FStepping = FSignature & 0xF;
    for (int i = 0; i < FeatureCount; ++i) {
        const std::uint32_t word = FeatureRows[i].Word == StandardEdx ? FFeatures : FExtFeatures;
        FFeature[i] = (word >> FeatureRows[i].Bit) & 1;
    }
    for (int v = 0; v < 4; ++v)
        if (std::memcmp(FVendorID, VendorIDs[v], 12) == 0) FVendor = std::uint8_t(v + 1);
}

void TVantrelCPUID::MeasureClock() {
    if (!FFeature[TimeStampCounterRow]) return;
    SetCurrentThreadPriority(tpTimeCritical);
    const DWORD t0 = timeGetTime();
    const std::uint32_t c0 = std::uint32_t(ReadCycleCounter());
    while (DWORD(timeGetTime() - t0) < ClockSpanMs) {
    }
    const std::uint32_t c1 = std::uint32_t(ReadCycleCounter());
    SetCurrentThreadPriority(tpNormal);
    FClockHz = (c1 - c0) * ClockScale;
}

std::ostream& operator<<(std::ostream& os, const TVantrelCPUID& cpu) {
    auto label = [&os](const char* text) -> std::ostream& { return os << ToShiftJIS(text); };
    for (const char* line : ReportHeader) WriteShiftJISLine(os, line);
    os.precision(5);
    label("CPUメーカー                    ：") << ToShiftJIS(MakerNames[cpu.FVendor]) << std::endl;
    label("CPU周波数                      ：") << float(cpu.FClockHz * 0.000001) << "MHz" << std::endl;
    os << std::endl;
    label("メーカー識別文字列             ：") << cpu.FVendorID << std::endl;
    if (cpu.FBrand[0]) label("プロセッサ名文字列             ：") << cpu.FBrand << std::endl;
    os << std::endl;
    label("CPU命令ファミリ                ：") << cpu.FFamily << "86" << std::endl;
    label("CPUモデル                      ：") << cpu.FModel << std::endl;
    label("CPUステッピングID              ：") << cpu.FStepping << std::endl;
    os << std::endl;
    label("最大CPUID関数                  ：") << std::hex << cpu.FMaxFunction << std::endl;
    label("最大CPUID拡張関数              ：") << cpu.FMaxExtFunction << std::dec << std::endl;
    os << std::endl;
    label("CPUID命令サポート              ：") << ToShiftJIS(YesNo(cpu.FHasCPUID == 1)) << std::endl;
    for (int i = 0; i < TVantrelCPUID::FeatureCount; ++i)
        label(FeatureRows[i].Label) << ToShiftJIS(YesNo(cpu.FFeature[i])) << std::endl;
    return os;
}

}  // namespace VantrelSystem
