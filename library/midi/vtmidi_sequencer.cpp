// Sequencer: play, stop, repeat and fade, and the queue of immediate messages.
#include <algorithm>
#include <iterator>

#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"

namespace VantrelMidiSystem {

using VantrelSystem::EVtMidi;
using VantrelSystem::VantrelGuard;
namespace VtErrorText = VantrelSystem::VtErrorText;

namespace {
constexpr DWORD DefaultTempo = 500000;
constexpr std::uint8_t MetaMarker = 0x06;
constexpr std::uint8_t MetaCuePoint = 0x07;
constexpr std::uint8_t MetaTempo = 0x51;
constexpr DWORD StopWaitMs = 1000;

// Loop points: a marker or a cue point with one of these texts, compared whole, any case.
const AnsiString MarkerStart = "RepeatStart";
const AnsiString MarkerEnd = "RepeatEnd";
const AnsiString CueStart = "repeat";
const AnsiString CueEnd = "end";

constexpr TVantrelMidiChannel ChannelDefaults(std::uint8_t program)
{
    return TVantrelMidiChannel{0, program, 100, 64, 127, 40, 0, 0};
}

// Steps a position over the entries that lie before the given tick.
template <class Iterator, class List>
void SkipBefore(Iterator& pos, const List& list, DWORD tick)
{
    while (pos != list.cend() && pos->Time < tick) ++pos;
}
}  // namespace

void TVantrelMidi::Play(const AnsiString& DataName, bool Loop)
{
    VantrelGuard("TVantrelMidi::Play", [&] {
        if (!FInitialized) throw EVtMidi(VtErrorText::NotInitialized);
        if (Playing()) return;
        auto entry = FDataMap.find(DataName);
        if (entry == FDataMap.end()) throw EVtMidi(VtErrorText::NoSuchData + DataName);
        Reset();
        FLoop = Loop;
        FData = entry->second.Get();
        FShortPos = FData->ShortMessages.cbegin();
        FLongPos = FData->LongMessages.cbegin();
        FMetaPos = FData->MetaEvents.cbegin();
        MidiReset(mrGMSystemOn);
        FPlaying.store(true, std::memory_order_release);
        // Lets a program follow starts the way it follows ends; the game assigns no handler.
        PostMessage(FWindowHandle, WM_MIDISTART, 0, 0);
    });
}

void TVantrelMidi::Stop()
{
    VantrelGuard("TVantrelMidi::Stop", [&] {
        if (!FInitialized) throw EVtMidi(VtErrorText::NotInitialized);
        if (Playing()) {
            // An answer that came after an earlier Stop gave up waiting left the event set;
            // it must not pass for the answer to this request.
            FStopEvent->ResetEvent();
            FStopRequest.store(true, std::memory_order_release);
            FStopEvent->WaitFor(StopWaitMs);
        }
        FFadeTime.store(0, std::memory_order_release);
        midiOutReset(FMidiOut);
    });
}

void TVantrelMidi::SetFadeOut(int FadeTime)
{
    VantrelGuard("TVantrelMidi::SetFadeOut", [&] {
        if (!FInitialized) throw EVtMidi(VtErrorText::NotInitialized);
        // A length of 0 or less starts no fade; a negative one has no meaning as a duration.
        if (FadeTime <= 0 || FFadeTime.load(std::memory_order_acquire) != 0) return;
        FFadeVolume = 1.0f;
        FFadeStep = 1.0f / static_cast<float>(FadeTime);
        FFadeTime.store(FadeTime, std::memory_order_release);
    });
}

void TVantrelMidi::Reset()
{
    VantrelGuard("TVantrelMidi::Reset", [&] {
        FDeltaTime.store(0, std::memory_order_relaxed);
        FTimeRemainder = 0;
        FFadeTime.store(0, std::memory_order_release);
        FRepeatTime = 0;
        FMusicTempo.store(DefaultTempo, std::memory_order_relaxed);
        // Queued messages update the channels from the playback thread under FUserLock.
        TVantrelMidiChannel fresh[16];
        FUserLock->Acquire();
        for (TVantrelMidiChannel& channel : FChannels) channel = ChannelDefaults(channel.Program);
        std::copy(std::begin(FChannels), std::end(FChannels), fresh);
        FUserLock->Release();
        PublishChannels(fresh);
    });
}

void TVantrelMidi::SmfPlay(DWORD Elapsed)
{
    // A tempo under 1000 us per quarter note would make q zero: it plays as 1 ms per quarter.
    const DWORD q = std::max<DWORD>(FMusicTempo.load(std::memory_order_relaxed) / 1000, 1);
    FTimeRemainder += Elapsed * FData->Division;
    const DWORD now = FDeltaTime.load(std::memory_order_relaxed) + FTimeRemainder / q;
    FDeltaTime.store(now, std::memory_order_relaxed);
    FTimeRemainder %= q;

    const bool report = GetReport();
    if (report) DecayLevels();
    if (PlayMetaEvents()) return;
    for (; FLongPos != FData->LongMessages.cend() && FLongPos->Time <= now; ++FLongPos)
        LongMsg(*FLongPos);
    for (; FShortPos != FData->ShortMessages.cend() && FShortPos->Time <= now; ++FShortPos)
        ShortMsg(*FShortPos);
    const bool fadedOut = FFadeTime.load(std::memory_order_acquire) != 0 && FadeStep(Elapsed);
    if (report) PublishChannels(FChannels);
    // FPlaying is cleared only once this cycle has finished with the song state, since a Play
    // on the main thread may follow at once. A completed fade ends the song: one WM_MIDIEND.
    if (fadedOut) {
        EndPlayback();
        return;
    }
    if (FMetaPos == FData->MetaEvents.cend() && FLongPos == FData->LongMessages.cend() &&
        FShortPos == FData->ShortMessages.cend()) {
        if (FLoop)
            Repeat();
        else
            EndPlayback();
    }
}

bool TVantrelMidi::PlayMetaEvents()
{
    const DWORD now = FDeltaTime.load(std::memory_order_relaxed);
    for (; FMetaPos != FData->MetaEvents.cend() && FMetaPos->Time <= now; ++FMetaPos) {
        const TMetaEvent& event = *FMetaPos;
        if (event.Type == MetaTempo) {
            FMusicTempo.store(static_cast<DWORD>(event.Value), std::memory_order_relaxed);
            continue;
        }
        if (event.Type != MetaMarker && event.Type != MetaCuePoint) continue;
        const bool marker = event.Type == MetaMarker;
        if (AnsiCompareText(event.Text, marker ? MarkerStart : CueStart) == 0) {
            FRepeatTime = event.Time;
        } else if (FLoop && AnsiCompareText(event.Text, marker ? MarkerEnd : CueEnd) == 0) {
            Repeat();
            return true;
        }
    }
    return false;
}

bool TVantrelMidi::FadeStep(DWORD Elapsed)
{
    FFadeVolume -= static_cast<float>(Elapsed) * FFadeStep;
    if (FFadeCount % 32 == 0 && FFadeVolume >= 0.0f) {
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            const auto value = static_cast<std::uint8_t>(FChannels[channel].Volume * FFadeVolume);
            ShortMsg(TShortMessage(0, static_cast<std::uint8_t>(0xB0 + channel), 7, value));
        }
    }
    const auto step = static_cast<std::int32_t>(Elapsed);
    const std::int64_t left = std::int64_t{FFadeTime.fetch_sub(step, std::memory_order_acq_rel)} - step;
    // The count runs for the component's life; let it wrap rather than overflow.
    FFadeCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(FFadeCount) + 1u);
    return left <= 0;
}

void TVantrelMidi::EndPlayback()
{
    FPlaying.store(false, std::memory_order_release);
    PostMessage(FWindowHandle, WM_MIDIEND, 0, 0);
}

void TVantrelMidi::Repeat()
{
    FMetaPos = FData->MetaEvents.cbegin();
    FLongPos = FData->LongMessages.cbegin();
    FShortPos = FData->ShortMessages.cbegin();
    FDeltaTime.store(FRepeatTime, std::memory_order_relaxed);
    for (; FMetaPos != FData->MetaEvents.cend() && FMetaPos->Time < FRepeatTime; ++FMetaPos)
        if (FMetaPos->Type == MetaTempo)
            FMusicTempo.store(static_cast<DWORD>(FMetaPos->Value), std::memory_order_relaxed);
    SkipBefore(FLongPos, FData->LongMessages, FRepeatTime);
    SkipBefore(FShortPos, FData->ShortMessages, FRepeatTime);
}

void TVantrelMidi::UserPlay(DWORD Elapsed)
{
    FUserLock->Acquire();
    while (!FUserQueue.empty() && FUserQueue.front().Time < Elapsed) {
        ShortMsg(FUserQueue.front());
        FUserQueue.pop_front();
    }
    for (TShortMessage& message : FUserQueue) message.Time -= Elapsed;
    FUserLock->Release();
}

}  // namespace VantrelMidiSystem
