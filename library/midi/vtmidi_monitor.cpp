// Channel monitor, song position and tempo queries.
#include <algorithm>

#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"

namespace VantrelMidiSystem {

using VantrelSystem::EVtMidi;
using VantrelSystem::VantrelGuard;

void TVantrelMidi::DecayLevels()
{
    for (TVantrelMidiChannel& channel : FChannels)
        channel.Level = channel.Level > 4 ? static_cast<std::uint8_t>(channel.Level - 4) : 0;
}

void TVantrelMidi::PublishChannels(const TVantrelMidiChannel* Channels)
{
    FChannelLock->Acquire();
    std::copy(Channels, Channels + 16, FChannelSnapshot);
    FChannelLock->Release();
}

void TVantrelMidi::GetChannelData(TVantrelMidiChannel* Channels)
{
    VantrelGuard("TVantrelMidi::GetChannelData", [&] {
        if (!GetReport()) throw EVtMidi(VantrelSystem::VtErrorText::ReportIsOff);
        FChannelLock->Acquire();
        std::copy(FChannelSnapshot, FChannelSnapshot + 16, Channels);
        FChannelLock->Release();
    });
}

DWORD TVantrelMidi::GetDeltaTime()
{
    return VantrelGuard("TVantrelMidi::GetDeltaTime", [&] { return FDeltaTime.load(std::memory_order_relaxed); });
}

DWORD TVantrelMidi::GetMusicTempo()
{
    return VantrelGuard("TVantrelMidi::GetMusicTempo", [&] { return FMusicTempo.load(std::memory_order_relaxed); });
}

}  // namespace VantrelMidiSystem
