// Messages to the device and the queue of immediate channel messages.
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

void TVantrelMidi::ShortMsg(const TShortMessage&) {}
void TVantrelMidi::LongMsg(const TLongMessage&) {}
void TVantrelMidi::NoteOn(std::uint8_t, std::uint8_t, std::uint8_t, DWORD) {}
void TVantrelMidi::NoteOff(std::uint8_t, std::uint8_t) {}
void TVantrelMidi::ControlChange(std::uint8_t, std::uint8_t, std::uint8_t) {}
void TVantrelMidi::ProgramChange(std::uint8_t, std::uint8_t) {}
void TVantrelMidi::ChannelPressure(std::uint8_t, std::uint8_t) {}
void TVantrelMidi::PitchBend(std::uint8_t, std::uint8_t) {}

}  // namespace VantrelMidiSystem
