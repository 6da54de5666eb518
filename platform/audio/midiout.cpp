#include "platform/audio/midiout.h"

struct TMidiOutPort {
    std::shared_ptr<Platform::MidiOutDevice> Device;
    std::mutex Lock;  // the main and the playback thread both send
};

namespace {
std::mutex gChoiceLock;
std::shared_ptr<Platform::MidiOutDevice> gChosen;

class NullMidiDevice : public Platform::MidiOutDevice {
public:
    bool Open() override { return false; }
    void Close() override {}
    void ShortMsg(DWORD) override {}
    MMRESULT LongMsg(const std::uint8_t*, std::size_t) override { return MMSYSERR_NOERROR; }
    void Reset() override {}
};
}  // namespace

MMRESULT midiOutOpen(HMIDIOUT* out, UINT deviceId, DWORD_PTR, DWORD_PTR, DWORD flags)
{
    if (!out) return MMSYSERR_INVALPARAM;
    *out = nullptr;
    if (deviceId != MIDI_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
    if (flags != CALLBACK_NULL) return MMSYSERR_INVALPARAM;
    std::shared_ptr<Platform::MidiOutDevice> device;
    {
        std::lock_guard<std::mutex> lock(gChoiceLock);
        device = gChosen;
    }
    if (!device) device = Platform::MakeSynthMidiDevice();
    if (!device || !device->Open()) return MMSYSERR_ERROR;
    *out = new TMidiOutPort{device, {}};
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutClose(HMIDIOUT port)
{
    if (!port) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard<std::mutex> lock(port->Lock);
        port->Device->Close();
    }
    delete port;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutReset(HMIDIOUT port)
{
    if (!port) return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> lock(port->Lock);
    port->Device->Reset();
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutShortMsg(HMIDIOUT port, DWORD msg)
{
    if (!port) return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> lock(port->Lock);
    port->Device->ShortMsg(msg);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutPrepareHeader(HMIDIOUT port, MIDIHDR* header, UINT size)
{
    if (!port) return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT port, MIDIHDR* header, UINT size)
{
    if (!port) return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutLongMsg(HMIDIOUT port, MIDIHDR* header, UINT size)
{
    if (!port) return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
    std::lock_guard<std::mutex> lock(port->Lock);
    return port->Device->LongMsg(reinterpret_cast<const std::uint8_t*>(header->lpData), header->dwBufferLength);
}

namespace Platform {
void SetMidiOutDevice(std::shared_ptr<MidiOutDevice> device)
{
    std::lock_guard<std::mutex> lock(gChoiceLock);
    gChosen = std::move(device);
}

std::shared_ptr<MidiOutDevice> MakeNullMidiDevice() { return std::make_shared<NullMidiDevice>(); }

bool CaptureMidiDevice::Open()
{
    if (!OpenSucceeds) return false;
    Add({timeGetTime(), Entry::Kind::Open, 0, {}});
    return true;
}
void CaptureMidiDevice::Close() { Add({timeGetTime(), Entry::Kind::Close, 0, {}}); }
void CaptureMidiDevice::ShortMsg(DWORD msg) { Add({timeGetTime(), Entry::Kind::Short, msg, {}}); }
void CaptureMidiDevice::Reset() { Add({timeGetTime(), Entry::Kind::Reset, 0, {}}); }

MMRESULT CaptureMidiDevice::LongMsg(const std::uint8_t* data, std::size_t size)
{
    {
        std::lock_guard<std::mutex> lock(FMutex);
        if (FNotReady > 0) {
            --FNotReady;
            return MIDIERR_NOTREADY;
        }
    }
    Add({timeGetTime(), Entry::Kind::Long, 0, std::vector<std::uint8_t>(data, data + size)});
    return MMSYSERR_NOERROR;
}

void CaptureMidiDevice::Add(Entry e)
{
    std::lock_guard<std::mutex> lock(FMutex);
    FEntries.push_back(std::move(e));
}

std::vector<CaptureMidiDevice::Entry> CaptureMidiDevice::Entries() const
{
    std::lock_guard<std::mutex> lock(FMutex);
    return FEntries;
}

void CaptureMidiDevice::Clear()
{
    std::lock_guard<std::mutex> lock(FMutex);
    FEntries.clear();
}

void CaptureMidiDevice::FailLongMessages(int n)
{
    std::lock_guard<std::mutex> lock(FMutex);
    FNotReady = n;
}
}  // namespace Platform
