// fuzz-libs: vt_midi
// The song loader's byte parsing on arbitrary input: it must either load or raise EVtMidi, never
// read outside its buffers, and whatever it files must keep the lists' ordering.
#include <cstddef>
#include <cstdint>

#include "library/midi/vtmidi_data.h"
#include "library/support/vterrors.h"

namespace {
template <class List>
void CheckAscending(const List& list)
{
    std::uint32_t last = 0;
    for (const auto& entry : list) {
        if (entry.Time < last) __builtin_trap();
        last = entry.Time;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    VantrelMidiSystem::TVantrelMidiData song;
    try {
        song.LoadFromMemory(data, size, "fuzz.mid");
    } catch (const VantrelSystem::EVtMidi&) {
        // a refused file keeps what was filed before the failure: checked below all the same
    }
    CheckAscending(song.ShortMessages);
    CheckAscending(song.LongMessages);
    CheckAscending(song.MetaEvents);
    for (const auto& block : song.LongMessages)
        if (block.Length < 1 || (block.Data[0] != 0xF0 && block.Data[0] != 0xF7)) __builtin_trap();
    return 0;
}
