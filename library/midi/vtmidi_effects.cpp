// Device resets and GS effect selections: fixed system-exclusive messages sent at once.
#include <array>

#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"

namespace VantrelMidiSystem {

using VantrelSystem::EVtMidi;
using VantrelSystem::VantrelGuard;
namespace VtErrorText = VantrelSystem::VtErrorText;

namespace {
constexpr unsigned char GMSystemOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
constexpr unsigned char GSReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

constexpr std::uint8_t ReverbMacro = 0x30;
constexpr std::uint8_t ChorusMacro = 0x38;
constexpr std::uint8_t DelayMacro = 0x50;

// A GS data set of one byte at 40 01 <address>; Roland's checksum makes address, data and
// checksum add up to a multiple of 128.
std::array<unsigned char, 11> GSEffectMessage(std::uint8_t address, std::uint8_t macro)
{
    const int sum = 0x40 + 0x01 + address + macro;
    const auto checksum = static_cast<unsigned char>((128 - sum % 128) % 128);
    return {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, address, macro, checksum, 0xF7};
}
}  // namespace

void TVantrelMidi::SendLong(const unsigned char* Bytes, std::int32_t Length)
{
    if (!FInitialized) throw EVtMidi(VtErrorText::NotInitialized);
    LongMsg(TLongMessage(Bytes, Length));
}

void TVantrelMidi::MidiReset(TMidiReset Reset)
{
    VantrelGuard("TVantrelMidi::MidiReset", [&] {
        if (!FInitialized) throw EVtMidi(VtErrorText::NotInitialized);
        if (Reset == mrGMSystemOn)
            SendLong(GMSystemOn, sizeof GMSystemOn);
        else if (Reset == mrGSReset)
            SendLong(GSReset, sizeof GSReset);
    });
}

void TVantrelMidi::SetGSReverb(TGSReverb Reverb)
{
    VantrelGuard("TVantrelMidi::SetGSReverb", [&] { SendLong(GSEffectMessage(ReverbMacro, Reverb).data(), 11); });
}

void TVantrelMidi::SetGSChorus(TGSChorus Chorus)
{
    VantrelGuard("TVantrelMidi::SetGSChorus", [&] { SendLong(GSEffectMessage(ChorusMacro, Chorus).data(), 11); });
}

void TVantrelMidi::SetGSDelay(TGSDelay Delay)
{
    VantrelGuard("TVantrelMidi::SetGSDelay", [&] { SendLong(GSEffectMessage(DelayMacro, Delay).data(), 11); });
}

}  // namespace VantrelMidiSystem
