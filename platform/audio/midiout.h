// The MIDI output port: the midiOut calls the library makes, over one exchangeable device.
// The device is chosen when the port opens: the one installed with SetMidiOutDevice, else the
// embedded synthesizer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/messages.h"

using MMRESULT = UINT;
using DWORD_PTR = std::uintptr_t;
struct TMidiOutPort;
using HMIDIOUT = TMidiOutPort*;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIDIERR_UNPREPARED = 64;
constexpr MMRESULT MIDIERR_NOTREADY = 67;
constexpr UINT MIDI_MAPPER = 0xFFFFFFFFu;
constexpr DWORD CALLBACK_NULL = 0;
constexpr DWORD MHDR_PREPARED = 2;

struct MIDIHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    MIDIHDR* lpNext;
    DWORD_PTR reserved;
    DWORD dwOffset;
    DWORD_PTR dwReserved[8];
};

MMRESULT midiOutOpen(HMIDIOUT* out, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT midiOutClose(HMIDIOUT port);
MMRESULT midiOutReset(HMIDIOUT port);
MMRESULT midiOutShortMsg(HMIDIOUT port, DWORD msg);
MMRESULT midiOutPrepareHeader(HMIDIOUT port, MIDIHDR* header, UINT size);
MMRESULT midiOutUnprepareHeader(HMIDIOUT port, MIDIHDR* header, UINT size);
MMRESULT midiOutLongMsg(HMIDIOUT port, MIDIHDR* header, UINT size);

namespace Platform {
// One device behind the port. Calls may come from two threads; the port serialises them.
class MidiOutDevice {
public:
    virtual ~MidiOutDevice() = default;
    virtual bool Open() = 0;  // false: no port
    virtual void Close() = 0;
    virtual void ShortMsg(DWORD msg) = 0;
    // The bytes are only borrowed for the call; MIDIERR_NOTREADY asks the caller to retry.
    virtual MMRESULT LongMsg(const std::uint8_t* data, std::size_t size) = 0;
    virtual void Reset() = 0;  // silence every sounding note at once
};

// Installs the device the next midiOutOpen uses; null restores the embedded synthesizer.
void SetMidiOutDevice(std::shared_ptr<MidiOutDevice> device);
std::shared_ptr<MidiOutDevice> MakeNullMidiDevice();    // every open fails
std::shared_ptr<MidiOutDevice> MakeSynthMidiDevice();   // the embedded General MIDI synthesizer

// Records every message with the clock's time at the call; for tests and tools.
class CaptureMidiDevice : public MidiOutDevice {
public:
    struct Entry {
        DWORD Time;
        enum class Kind { Short, Long, Reset, Open, Close };
        Kind What;
        DWORD Word;                       // the packed word of a short message
        std::vector<std::uint8_t> Bytes;  // the block of a long message
    };
    bool Open() override;
    void Close() override;
    void ShortMsg(DWORD msg) override;
    MMRESULT LongMsg(const std::uint8_t* data, std::size_t size) override;
    void Reset() override;

    std::vector<Entry> Entries() const;
    void Clear();
    // The next n long messages answer MIDIERR_NOTREADY without being recorded.
    void FailLongMessages(int n);
    bool OpenSucceeds = true;

private:
    void Add(Entry e);
    mutable std::mutex FMutex;
    std::vector<Entry> FEntries;
    int FNotReady = 0;
};
}  // namespace Platform
