// The library's diagnostics: the switchboard that says whether tracing and profiling are on,
// the cycle-counting profiler with its scope object, the processor report, and the guard that
// wraps every guarded library operation.
//
// A guarded operation is written as
//     void TVantrelMidi::Play(const AnsiString& name, bool loop) {
//         VantrelGuard("TVantrelMidi::Play", [&] { ...body... });
//     }
// (the result of the body, if any, is returned). The guard opens a profile scope under the
// name while profiling is on and closes it on every way out; an Exception or std::exception
// leaving the body is written as a trace line while tracing is on and re-raised unchanged;
// anything else passes untouched. The name must be a string literal: results are keyed by
// its address. Progress lines go through VantrelTrace, which writes only while tracing is on.
#pragma once
#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <vector>

#include "platform/core/sysutils.h"

namespace VantrelSystem {

// A cycle count as its low and high 32-bit halves.
struct TVantrelLargeInteger {
    std::uint32_t LowPart = 0;
    std::uint32_t HighPart = 0;
    std::uint64_t Value() const { return (std::uint64_t(HighPart) << 32) | LowPart; }
    static TVantrelLargeInteger From(std::uint64_t v) {
        return {std::uint32_t(v), std::uint32_t(v >> 32)};
    }
};

struct TVantrelProfileResult {
    std::int32_t Calls = 0;
    TVantrelLargeInteger Cycles;
};

// The processor's time-stamp counter; tests install a fixed sequence. Null restores the real one.
using TVantrelCycleCounter = std::uint64_t (*)();
void SetCycleCounter(TVantrelCycleCounter counter);
std::uint64_t ReadCycleCounter();

// Counts calls and cycles per name and writes the table when destroyed (or whenever asked).
class TVantrelProfiler {
public:
    explicit TVantrelProfiler(std::ostream* output = nullptr);  // null: standard output
    ~TVantrelProfiler();
    TVantrelProfiler(const TVantrelProfiler&) = delete;
    TVantrelProfiler& operator=(const TVantrelProfiler&) = delete;

    void Start();
    void End(const char* name);
    void Trace(const char* text);
    virtual void PrintOut();

private:
    std::ostream* FOutput;
    std::map<const char*, TVantrelProfileResult> FResults;
    std::vector<TVantrelLargeInteger> FStarts;
};

// Brackets one run of one operation; a null profiler measures nothing.
class TVantrelFunctionProfile {
public:
    TVantrelFunctionProfile(TVantrelProfiler* profiler, const char* name);
    ~TVantrelFunctionProfile();
    TVantrelFunctionProfile(const TVantrelFunctionProfile&) = delete;
    TVantrelFunctionProfile& operator=(const TVantrelFunctionProfile&) = delete;

private:
    const char* FName;
    TVantrelProfiler* FProfiler;
};

// The registers a processor probe reads; replaceable so reports can be made from fixed values.
class TVantrelCPUIDSource {
public:
    virtual ~TVantrelCPUIDSource() = default;
    virtual bool HasCPUID() const = 0;
    // eax, ebx, ecx, edx of one CPUID function.
    virtual void Query(std::uint32_t function, std::uint32_t regs[4]) const = 0;
};
const TVantrelCPUIDSource& NativeCPUIDSource();

// Identifies the processor and writes a fixed-layout report of it (operator<<).
class TVantrelCPUID {
public:
    TVantrelCPUID();
    explicit TVantrelCPUID(const TVantrelCPUIDSource& source);
    void MeasureClock();
    static constexpr int FeatureCount = 30;

private:
    friend std::ostream& operator<<(std::ostream& os, const TVantrelCPUID& cpu);
    void Probe(const TVantrelCPUIDSource& source);

    std::int32_t FHasCPUID = 0;
    std::uint32_t FSignature = 0;
    std::uint32_t FFeatures = 0;
    std::uint32_t FExtFeatures = 0;
    std::uint32_t FMaxFunction = 0;
    std::uint32_t FMaxExtFunction = 0;
    char FVendorID[13] = {};
    char FBrand[49] = {};
    std::uint32_t FClockHz = 0;
    std::int32_t FFamily = 0;
    std::int32_t FModel = 0;
    std::int32_t FStepping = 0;
    bool FFeature[FeatureCount] = {};
    std::uint8_t FVendor = 0;
};
std::ostream& operator<<(std::ostream& os, const TVantrelCPUID& cpu);

}  // namespace VantrelSystem

namespace VantrelDebugSystem {

// The process-wide switchboard. Off at start; SetDebug with a file name switches it on.
class TVantrelDebug {
public:
    ~TVantrelDebug();  // the one static object closes the output at program end

    static bool GetDebug() { return Debug; }
    static bool GetProfile() { return Profile; }
    static VantrelSystem::TVantrelProfiler* GetProfiler() { return DefaultProfiler; }
    static void SetDebug(const char* AFileName, bool ADebug, bool AProfile);

private:
    TVantrelDebug() = default;
    static TVantrelDebug Instance;
    static void Close();
    static inline bool Debug = false;
    static inline bool Profile = false;
    static inline VantrelSystem::TVantrelProfiler* DefaultProfiler = nullptr;
    static inline std::ostream* OutputStrm = nullptr;
};

}  // namespace VantrelDebugSystem

namespace VantrelSystem {

// Writes a progress line while tracing is on.
inline void VantrelTrace(const char* text) {
    if (VantrelDebugSystem::TVantrelDebug::GetDebug())
        VantrelDebugSystem::TVantrelDebug::GetProfiler()->Trace(text);
}

// Runs body as one guarded operation named name (see the top of this header).
template <class Body>
decltype(auto) VantrelGuard(const char* name, Body&& body) {
    using VantrelDebugSystem::TVantrelDebug;
    std::optional<TVantrelFunctionProfile> scope;
    if (TVantrelDebug::GetProfile()) scope.emplace(TVantrelDebug::GetProfiler(), name);
    try {
        return body();
    } catch (const Exception& e) {
        VantrelTrace(e.Message.c_str());
        throw;
    } catch (const std::exception& e) {
        VantrelTrace(e.what());
        throw;
    }
}

}  // namespace VantrelSystem
