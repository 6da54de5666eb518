// The playback thread.
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

TVantrelMidiPlayThread::TVantrelMidiPlayThread(TVantrelMidi* Midi, DWORD Interval)
    : TThread(true), FMidi(Midi), FInterval(Interval)
{
}

void TVantrelMidiPlayThread::Cycle() {}

void TVantrelMidiPlayThread::Execute()
{
    while (!Terminated()) Sleep(FInterval);
}

}  // namespace VantrelMidiSystem
