#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "debug_fixtures.h"
#include "library/support/vterrors.h"

using namespace VantrelSystem;
using DebugTest::DiagnosticsSession;
using DebugTest::ScriptedCycles;
using VantrelDebugSystem::TVantrelDebug;

namespace {

// Runs a guarded operation that raises what `raised` holds; returns what reached the caller.
std::exception_ptr RunGuarded(const char* name, const std::exception_ptr& raised) {
    try {
        VantrelGuard(name, [&] { std::rethrow_exception(raised); });
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

TEST(Guard, WithDiagnosticsOffPassesResultsAndErrorsAndMeasuresNothing) {
    ScriptedCycles cycles{};
    EXPECT_FALSE(TVantrelDebug::GetDebug());
    EXPECT_FALSE(TVantrelDebug::GetProfile());
    EXPECT_EQ(TVantrelDebug::GetProfiler(), nullptr);

    int counter = 0;
    EXPECT_EQ(VantrelGuard("T::Twice", [&] { return ++counter * 2; }), 2);
    int& ref = VantrelGuard("T::Ref", [&]() -> int& { return counter; });
    EXPECT_EQ(&ref, &counter);
    auto raised = std::make_exception_ptr(EVtMidi(VtErrorText::NotInitialized));
    EXPECT_EQ(RunGuarded("T::Fail", raised), raised);
    EXPECT_EQ(ScriptedCycles::Reads, 0);
}

struct PassingCase {
    const char* Name;
    std::exception_ptr Raised;
    std::string Trace;
};

TEST(Guard, TracesFrameworkAndStandardErrorsOnceAndReraisesTheSameObject) {
    const PassingCase cases[] = {
        {"library error", std::make_exception_ptr(EVtMidi(AnsiString(VtErrorText::NoSuchData) + "01")),
         "TVantrelMidi エラー\n\nデータが存在しません。\nデータ名：01\n"},
        {"framework error", std::make_exception_ptr(Exception("読めません")), "読めません\n"},
        {"standard error", std::make_exception_ptr(std::runtime_error("out of range")), "out of range\n"},
        {"allocation", std::make_exception_ptr(std::bad_alloc()), std::string(std::bad_alloc().what()) + "\n"},
        {"neither kind", std::make_exception_ptr(42), ""},
    };
    for (const auto& c : cases) {
        DiagnosticsSession session(true, false);
        EXPECT_EQ(RunGuarded("T::Op", c.Raised), c.Raised) << c.Name;
        EXPECT_EQ(session.CloseAndReadTrace(), c.Trace) << c.Name;
    }
}

// A loader operation called from a registry operation, both guarded.
void Load(bool fail) {
    VantrelGuard("Loader::Load", [&] {
        if (fail) throw EVtMidi(AnsiString(VtErrorText::BadFileHeader) + "x.mid");
    });
}
void CreateData(bool fail) {
    VantrelGuard("Registry::CreateData", [&] { Load(fail); });
}

TEST(Guard, ErrorThroughNestedOperationsIsTracedByEachAndClosesEveryScope) {
    const std::string message = "TVantrelMidi エラー\n\nファイルヘッダが不正です。\nファイル名：x.mid";
    DiagnosticsSession session(true, true);
    CreateData(false);
    EXPECT_THROW(CreateData(true), EVtMidi);
    EXPECT_THROW(CreateData(true), EVtMidi);
    const std::string text = DebugTest::FromShiftJIS(session.Close());
    const std::string traced = message + "\n" + message + "\n";
    EXPECT_NE(text.find(traced + traced + "\n\n\n"), std::string::npos) << text;
    const auto lines = DebugTest::Lines(text);
    int rows = 0;  // both names, three runs each: failed runs closed their scopes too
    for (const auto& line : lines)
        if (line.starts_with("         3 ")) ++rows;
    EXPECT_EQ(rows, 2) << text;
}

TEST(Guard, ProfilingWithoutTracingWritesNoTraceLine) {
    DiagnosticsSession session(false, true);
    EXPECT_THROW(CreateData(true), EVtMidi);
    VantrelTrace("進行");
    EXPECT_EQ(session.CloseAndReadTrace(), "");
}

TEST(Guard, ProgressTraceKeepsLineFeeds) {
    DiagnosticsSession session(true, false);
    VantrelTrace("一行目\n二行目");
    EXPECT_EQ(session.CloseAndReadTrace(), "一行目\n二行目\n");
}

}  // namespace
