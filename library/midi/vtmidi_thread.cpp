// The playback thread: the sequencer's clock.
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

TVantrelMidiPlayThread::TVantrelMidiPlayThread(TVantrelMidi* Midi, DWORD Interval)
    : TThread(true), FMidi(Midi), FInterval(Interval), FLast(timeGetTime())
{
}

void TVantrelMidiPlayThread::Cycle()
{
    const DWORD now = timeGetTime();
    const DWORD elapsed = now - FLast;  // unsigned, so right across the timer's wrap
    FLast = now;
    TVantrelMidi& midi = *FMidi;
    if (midi.FPlaying.load(std::memory_order_acquire)) midi.SmfPlay(elapsed);
    if (midi.FStopRequest.load(std::memory_order_acquire)) {
        // Both flags are clear before the event lets Stop return, so a Play right after it
        // finds the component idle.
        midi.FPlaying.store(false, std::memory_order_release);
        midi.FStopRequest.store(false, std::memory_order_release);
        midi.FStopEvent->SetEvent();
        PostMessage(midi.FWindowHandle, WM_MIDIEND, 0, 0);
    }
    midi.UserPlay(elapsed);
}

void TVantrelMidiPlayThread::Execute()
{
    // Only the thread itself can raise its priority. Without privileges the wished-for level
    // is usually refused: take the highest one granted, down to normal.
    for (int level = Priority(); level > tpNormal; --level)
        if (SetCurrentThreadPriority(static_cast<TThreadPriority>(level))) break;
    FLast = timeGetTime();
    while (!Terminated()) {
        Cycle();
        Sleep(FInterval);
    }
}

}  // namespace VantrelMidiSystem
