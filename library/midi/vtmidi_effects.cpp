// Device resets and GS effect selections.
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

void TVantrelMidi::MidiReset(TMidiReset) {}
void TVantrelMidi::SetGSReverb(TGSReverb) {}
void TVantrelMidi::SetGSChorus(TGSChorus) {}
void TVantrelMidi::SetGSDelay(TGSDelay) {}

}  // namespace VantrelMidiSystem
