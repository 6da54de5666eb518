// Channel monitor, song position and tempo queries.
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

void TVantrelMidi::GetChannelData(TVantrelMidiChannel*) {}
DWORD TVantrelMidi::GetDeltaTime() { return 0; }
DWORD TVantrelMidi::GetMusicTempo() { return 0; }

}  // namespace VantrelMidiSystem
