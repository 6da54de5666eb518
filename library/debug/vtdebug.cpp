#include "library/debug/vtdebug.h"

#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>

#include "library/debug/vtsjis.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#else
#include <chrono>
#endif

namespace VantrelSystem {
namespace {

std::uint64_t HardwareCycles() {
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    // Without a time-stamp counter, nanoseconds stand in for cycles.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
#endif
}

TVantrelCycleCounter CycleCounter = HardwareCycles;

const char* const ProfileHeader[] = {
    "// ==========================================================================",
    "// プロファイリング結果出力                                                  ",
    "//                                                Created by TVantrelProfiler",
    "//                                                      時間単位はCPUクロック",
    "// ==========================================================================",
    "",
    "回数       全実行時間          平均           関数名                         ",
};

}  // namespace

void SetCycleCounter(TVantrelCycleCounter counter) {
    CycleCounter = counter ? counter : HardwareCycles;
}

std::uint64_t ReadCycleCounter() { return CycleCounter(); }

TVantrelProfiler::TVantrelProfiler(std::ostream* output) : FOutput(output ? output : &std::cout) {}

TVantrelProfiler::~TVantrelProfiler() { PrintOut(); }

void TVantrelProfiler::Start() { FStarts.push_back(TVantrelLargeInteger::From(CycleCounter())); }

void TVantrelProfiler::End(const char* name) {
    const std::uint64_t now = CycleCounter();
    TVantrelProfileResult& result = FResults[name];
    result.Calls += 1;
    result.Cycles = TVantrelLargeInteger::From(result.Cycles.Value() + (now - FStarts.back().Value()));
    FStarts.pop_back();
}

void TVantrelProfiler::Trace(const char* text) { WriteShiftJISLine(*FOutput, text); }

void TVantrelProfiler::PrintOut() {
    std::ostream& os = *FOutput;
    for (const char* line : ProfileHeader) WriteShiftJISLine(os, line);
    for (const auto& [name, result] : FResults) {
        const std::uint64_t cycles = result.Cycles.Value();
        os << std::right << std::setw(10) << result.Calls << std::setw(20) << cycles
           << std::setw(15) << cycles / std::uint64_t(result.Calls) << ' ' << ToShiftJIS(name)
           << std::endl;
    }
}

TVantrelFunctionProfile::TVantrelFunctionProfile(TVantrelProfiler* profiler, const char* name)
    : FName(name), FProfiler(profiler) {
    if (FProfiler) FProfiler->Start();
}

TVantrelFunctionProfile::~TVantrelFunctionProfile() {
    if (FProfiler) FProfiler->End(FName);
}

}  // namespace VantrelSystem

namespace VantrelDebugSystem {
namespace {

const char* const Banner[] = {
    "// ==========================================================================",
    "// Vantrel Game Library 0.80 デバッグ＆プロファイリングシステム出力          ",
    "//                                                              製作：ばんと ",
    "// ==========================================================================",
    "",
};

const char* const TraceHeader[] = {
    "// ==========================================================================",
    "// プログラムトレース出力                                                    ",
    "//                                                   Created by TVantrelDebug",
    "// ==========================================================================",
    "",
};

template <std::size_t N>
void WriteLines(std::ostream& os, const char* const (&lines)[N]) {
    for (const char* line : lines) VantrelSystem::WriteShiftJISLine(os, line);
}

}  // namespace

// Destroyed at program end, which writes the profile results and closes the file.
TVantrelDebug TVantrelDebug::Instance;

TVantrelDebug::~TVantrelDebug() { Close(); }

void TVantrelDebug::Close() {
    std::unique_ptr<std::ostream> output(OutputStrm);
    std::unique_ptr<VantrelSystem::TVantrelProfiler> profiler(DefaultProfiler);
    OutputStrm = nullptr;
    DefaultProfiler = nullptr;
    Debug = false;
    Profile = false;
    if (output) *output << "\n\n\n";
    profiler.reset();  // prints its results to the stream, which is still open
}

void TVantrelDebug::SetDebug(const char* AFileName, bool ADebug, bool AProfile) {
    Close();
    if (!AFileName) return;
    // A file that cannot be created leaves a failed stream that discards every write.
    auto output = std::make_unique<std::ofstream>(AFileName, std::ios::out | std::ios::trunc);
    DefaultProfiler = new VantrelSystem::TVantrelProfiler(output.get());
    OutputStrm = output.release();
    Debug = ADebug;
    Profile = AProfile;

    std::ostream& os = *OutputStrm;
    WriteLines(os, Banner);
    VantrelSystem::TVantrelCPUID cpu;
    cpu.MeasureClock();
    os << cpu << "\n\n\n";
    WriteLines(os, TraceHeader);
}

}  // namespace VantrelDebugSystem
