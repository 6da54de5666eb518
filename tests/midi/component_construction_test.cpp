// A construction that fails part-way (out of memory at any allocation) leaves nothing behind:
// no running thread, no live window, no leak (the sanitizer builds check the last).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "library/midi/vtmidi.h"

namespace {
// Allocations of the arming thread counted down; the one reaching zero fails. Other threads
// (the component's own playback thread among them) are never failed.
thread_local long AllocationsLeft = -1;
}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size)
{
    if (AllocationsLeft >= 0 && AllocationsLeft-- == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using VantrelMidiSystem::TVantrelMidi;

TEST(ComponentConstruction, FailureAtEveryAllocationUndoesWhatWasBuilt)
{
    bool built = false;
    for (long fail = 0; !built && fail < 200; ++fail) {
        TVantrelMidi* midi = nullptr;
        AllocationsLeft = fail;
        try {
            midi = new TVantrelMidi(nullptr);
            built = true;
        } catch (const std::bad_alloc&) {
        }
        AllocationsLeft = -1;
        delete midi;
    }
    EXPECT_TRUE(built);
}

}  // namespace
