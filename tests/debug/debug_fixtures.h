// Shared stand-ins for the diagnostics tests: a scripted cycle counter, a clock that never makes
// anyone wait, reading Shift-JIS output back as UTF-8, and the fixed frames of a diagnostics file.
#pragma once
#include <unistd.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/debug/vtdebug.h"
#include "library/debug/vtsjis.h"
#include "platform/core/clock.h"

namespace DebugTest {

// Counter readings handed out in order; once used up, each reading is 10 more than the last.
struct ScriptedCycles {
    static inline std::vector<std::uint64_t> Readings;
    static inline std::size_t Next = 0;
    static inline std::uint64_t Last = 0;
    static std::uint64_t Read() {
        Last = Next < Readings.size() ? Readings[Next++] : Last + 10;
        ++Reads;
        return Last;
    }
    static inline int Reads = 0;

    explicit ScriptedCycles(std::initializer_list<std::uint64_t> readings) {
        Readings = readings;
        Next = 0;
        Last = 0;
        Reads = 0;
        VantrelSystem::SetCycleCounter(&Read);
    }
    ~ScriptedCycles() { VantrelSystem::SetCycleCounter(nullptr); }
};

// Every reading is 100 ms after the last, so the clock measurement ends at its third reading.
class LeapingClock : public Platform::ClockSource {
public:
    LeapingClock() { Platform::SetClockSource(this); }
    ~LeapingClock() override { Platform::SetClockSource(nullptr); }
    DWORD Now() override { return FNow += 100; }
    void SleepFor(DWORD ms) override { FNow += ms; }
    DWORD FNow = 0;
};

inline std::string FromShiftJIS(const std::string& sjis) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out(sjis.size() * 3 + 1, '\0');
    char* in = const_cast<char*>(sjis.data());
    std::size_t inLeft = sjis.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    iconv(cd, &in, &inLeft, &dst, &dstLeft);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Diagnostics switched on into a file of the test's own; Close switches off and returns the file.
class DiagnosticsSession {
public:
    DiagnosticsSession(bool debug, bool profile, const std::string& name = "diagnostics")
        : Path(::testing::TempDir() + name + "-" + std::to_string(getpid()) + ".txt") {  // ctest runs tests side by side
        VantrelDebugSystem::TVantrelDebug::SetDebug(Path.c_str(), debug, profile);
    }
    ~DiagnosticsSession() {
        VantrelDebugSystem::TVantrelDebug::SetDebug(nullptr, false, false);
        std::remove(Path.c_str());
    }
    // The file's bytes after switching off.
    std::string Close() {
        VantrelDebugSystem::TVantrelDebug::SetDebug(nullptr, false, false);
        return ReadFile(Path);
    }
    // What was traced: the lines between the trace header and the closing line feeds, as UTF-8.
    std::string CloseAndReadTrace() {
        const std::string text = FromShiftJIS(Close());
        const std::string head = "Created by TVantrelDebug\n// " + std::string(74, '=') + "\n\n";
        const std::size_t from = text.find(head) + head.size();
        const std::size_t to = text.rfind("\n\n\n// " + std::string(74, '='));
        return text.substr(from, to - from);
    }

    LeapingClock Clock;  // set before the switchboard measures the clock
    const std::string Path;
};

// The fixed frames of a diagnostics file, in Shift-JIS.
inline const std::string Rule = "// " + std::string(74, '=');

inline std::string ShiftJISLines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& line : lines) out += VantrelSystem::ToShiftJIS(line) + "\n";
    return out;
}

inline const std::string Banner = ShiftJISLines({
    Rule, "// Vantrel Game Library 0.80 デバッグ＆プロファイリングシステム出力          ",
    "//                                                              製作：ばんと ", Rule, ""});
inline const std::string TraceHeader = ShiftJISLines({
    Rule, "// プログラムトレース出力                                                    ",
    "//                                                   Created by TVantrelDebug", Rule, ""});
inline const std::string ResultsHead = ShiftJISLines({
    Rule, "// プロファイリング結果出力                                                  ",
    "//                                                Created by TVantrelProfiler",
    "//                                                      時間単位はCPUクロック", Rule, "",
    "回数       全実行時間          平均           関数名                         "});

// This processor's report as the switchboard writes it when its clock reads c0 and then c1.
inline std::string Report(std::uint64_t c0, std::uint64_t c1) {
    LeapingClock clock;
    ScriptedCycles cycles{c0, c1};
    VantrelSystem::TVantrelCPUID cpu;
    cpu.MeasureClock();
    std::ostringstream out;
    out << cpu;
    return out.str();
}

}  // namespace DebugTest
