#include "platform/audio/midiout.h"

// Placeholder until the embedded synthesizer lands: behaves as a port that cannot open.
namespace Platform {
std::shared_ptr<MidiOutDevice> MakeSynthMidiDevice() { return MakeNullMidiDevice(); }
}  // namespace Platform
