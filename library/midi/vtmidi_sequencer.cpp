// Sequencer: play, stop, repeat and fade.
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

void TVantrelMidi::Play(const AnsiString&, bool) {}
void TVantrelMidi::Stop() {}
void TVantrelMidi::Reset() {}
void TVantrelMidi::Repeat() {}
void TVantrelMidi::SetFadeOut(int) {}
void TVantrelMidi::SmfPlay(DWORD) {}
void TVantrelMidi::UserPlay(DWORD) {}

}  // namespace VantrelMidiSystem
