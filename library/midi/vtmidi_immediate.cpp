// Messages to the device and the queue of immediate channel messages.
#include <algorithm>
#include <iterator>

#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi.h"

namespace VantrelMidiSystem {

using VantrelSystem::VantrelGuard;

namespace {
constexpr DWORD NoNoteOff = 0xFFFFFFFF;
constexpr int LongMsgAttempts = 200;

using TQueue = std::list<TShortMessage>;

// Moves the one entry of node before the first queued entry that is due no earlier.
void InsertByTime(TQueue& queue, TQueue& node)
{
    const DWORD time = node.front().Time;
    auto pos = std::find_if(queue.begin(), queue.end(),
                            [time](const TShortMessage& queued) { return queued.Time >= time; });
    queue.splice(pos, node);
}

std::uint8_t StatusOf(std::uint8_t kind, std::uint8_t channel)
{
    return static_cast<std::uint8_t>(kind | channel);
}
}  // namespace

void TVantrelMidi::ShortMsg(const TShortMessage& Message)
{
    TVantrelMidiChannel& channel = FChannels[Message.Status & 0x0F];
    const int kind = Message.Status & 0xF0;
    // While a fade runs, its own volume messages must not replace the volumes it scales.
    if (kind == 0xB0 && Message.Data1 == 7 && FFadeTime.load(std::memory_order_acquire) == 0)
        channel.Volume = Message.Data2;
    if (GetReport()) {
        if (kind == 0x90) {
            channel.Level = std::max(channel.Level, Message.Data2);
        } else if (kind == 0xC0) {
            channel.Program = Message.Data1;
        } else if (kind == 0xB0) {
            switch (Message.Data1) {
            case 10: channel.Pan = Message.Data2; break;
            case 11: channel.Expression = Message.Data2; break;
            case 91: channel.Reverb = Message.Data2; break;
            case 93: channel.Chorus = Message.Data2; break;
            case 94: channel.Delay = Message.Data2; break;
            default: break;
            }
        }
    }
    midiOutShortMsg(FMidiOut, DWORD{Message.Status} | DWORD{Message.Data1} << 8 | DWORD{Message.Data2} << 16);
}

void TVantrelMidi::LongMsg(const TLongMessage& Message)
{
    MIDIHDR header{};
    header.lpData = reinterpret_cast<char*>(Message.Data);
    header.dwBufferLength = static_cast<DWORD>(std::max<std::int32_t>(Message.Length, 0));
    midiOutPrepareHeader(FMidiOut, &header, sizeof header);
    // A busy port asks to be called again at once; 200 calls in all, then the block is dropped.
    for (int calls = 1; midiOutLongMsg(FMidiOut, &header, sizeof header) == MIDIERR_NOTREADY &&
                        calls < LongMsgAttempts;
         ++calls) {
    }
    midiOutUnprepareHeader(FMidiOut, &header, sizeof header);
}

void TVantrelMidi::InsertUserMessage(const TShortMessage& Message)
{
    TQueue node{Message};  // allocated before the lock is taken; the splice cannot fail
    FUserLock->Acquire();
    InsertByTime(FUserQueue, node);
    FUserLock->Release();
}

void TVantrelMidi::NoteOn(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Velocity, DWORD Duration)
{
    VantrelGuard("TVantrelMidi::NoteOn", [&] {
        TQueue on{TShortMessage(0, StatusOf(0x90, Channel), Note, Velocity)};
        TQueue off{TShortMessage(Duration, StatusOf(0x80, Channel), Note, 0)};
        FUserLock->Acquire();
        InsertByTime(FUserQueue, on);
        // By the time order alone a zero duration would put the note-off before its own
        // note-on and leave the note sounding: it goes right behind the note-on instead.
        if (Duration == 0)
            FUserQueue.splice(std::next(FUserQueue.begin()), off);
        else if (Duration != NoNoteOff)
            InsertByTime(FUserQueue, off);
        FUserLock->Release();
    });
}

void TVantrelMidi::NoteOff(std::uint8_t Channel, std::uint8_t Note)
{
    VantrelGuard("TVantrelMidi::NoteOff", [&] { InsertUserMessage(TShortMessage(StatusOf(0x80, Channel), Note, 0)); });
}

void TVantrelMidi::ControlChange(std::uint8_t Channel, std::uint8_t Controller, std::uint8_t Value)
{
    VantrelGuard("TVantrelMidi::ControlChange",
                 [&] { InsertUserMessage(TShortMessage(StatusOf(0xB0, Channel), Controller, Value)); });
}

void TVantrelMidi::ProgramChange(std::uint8_t Channel, std::uint8_t Value)
{
    VantrelGuard("TVantrelMidi::ProgramChange", [&] { InsertUserMessage(TShortMessage(StatusOf(0xC0, Channel), Value, 0)); });
}

void TVantrelMidi::ChannelPressure(std::uint8_t Channel, std::uint8_t Value)
{
    VantrelGuard("TVantrelMidi::ChannelPressure", [&] { InsertUserMessage(TShortMessage(StatusOf(0xD0, Channel), Value, 0)); });
}

void TVantrelMidi::PitchBend(std::uint8_t Channel, std::uint8_t Value)
{
    // The value is the low 7 bits of the bend; the high byte stays 0.
    VantrelGuard("TVantrelMidi::PitchBend", [&] { InsertUserMessage(TShortMessage(StatusOf(0xE0, Channel), Value, 0)); });
}

}  // namespace VantrelMidiSystem
