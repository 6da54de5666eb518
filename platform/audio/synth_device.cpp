// The default device of the MIDI port: the embedded synthesizer. All ports share one engine, so
// the soundfont is read once per process; an engine is rendered while a port is open on it.
#include <unistd.h>

#include <mutex>

#include "platform/audio/midiout.h"
#include "platform/audio/synth_engine.h"

namespace {
using Platform::SynthEngine;
using Platform::SynthEvent;

class EngineHolder {
public:
    EngineHolder() { Platform::AudioLatencyNs(); }  // the mixer outlives the holder
    ~EngineHolder()
    {
        if (FOpened > 0) Platform::DetachAudioSource(FEngine.get());
    }

    // The engine to send to, or null when no soundfont could be loaded.
    SynthEngine* Open(bool& rendering)
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (!FEngine) Load();
        if (!FEngine) return nullptr;
        if (FOpened++ == 0) {
            FEngine->Restart();
            FRendering = Platform::EnsureAudioOutput();
            if (FRendering) Platform::AttachAudioSource(FEngine.get());
        }
        rendering = FRendering;
        return FEngine.get();
    }

    void Close()
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (FOpened > 0 && --FOpened == 0) Platform::DetachAudioSource(FEngine.get());
    }

    void SetCandidates(std::vector<std::string> paths)
    {
        std::lock_guard<std::mutex> lock(FLock);
        FCandidates = paths.empty() ? Platform::DefaultSoundFonts() : std::move(paths);
        if (FOpened == 0) FEngine.reset();
    }

private:
    void Load()
    {
        if (FCandidates.empty()) FCandidates = Platform::DefaultSoundFonts();
        for (const std::string& path : FCandidates) {
            if (access(path.c_str(), R_OK) != 0) continue;
            FEngine = SynthEngine::Create(path);
            if (FEngine) return;
        }
    }

    std::mutex FLock;
    std::vector<std::string> FCandidates;
    std::unique_ptr<SynthEngine> FEngine;
    int FOpened = 0;
    bool FRendering = false;
};

EngineHolder& Holder()
{
    static EngineHolder holder;
    return holder;
}

class SynthMidiDevice : public Platform::MidiOutDevice {
public:
    ~SynthMidiDevice() override { Close(); }

    bool Open() override
    {
        if (FEngine) return true;
        bool rendering = false;
        FEngine = Holder().Open(rendering);
        FRendering = rendering;
        return FEngine != nullptr;
    }

    void Close() override
    {
        if (!FEngine) return;
        Holder().Close();
        FEngine = nullptr;
    }

    void ShortMsg(DWORD msg) override { Send({Platform::AudioNowNs(), SynthEvent::Kind::Short, msg, {}}); }

    MMRESULT LongMsg(const std::uint8_t* data, std::size_t size) override
    {
        if (!data) return MMSYSERR_INVALPARAM;
        Send({Platform::AudioNowNs(), SynthEvent::Kind::Long, 0, std::vector<std::uint8_t>(data, data + size)});
        return MMSYSERR_NOERROR;
    }

    void Reset() override { Send({Platform::AudioNowNs(), SynthEvent::Kind::Reset, 0, {}}); }

private:
    // Without an output nothing renders the queue: the message is dropped, as silence.
    void Send(SynthEvent event)
    {
        if (FEngine && FRendering) FEngine->Post(std::move(event));
    }

    SynthEngine* FEngine = nullptr;
    bool FRendering = false;
};
}  // namespace

namespace Platform {
std::vector<std::string> DefaultSoundFonts()
{
    return {
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/etc/alternatives/default-GM.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
    };
}

void SetSoundFontCandidates(std::vector<std::string> paths) { Holder().SetCandidates(std::move(paths)); }

std::shared_ptr<MidiOutDevice> MakeSynthMidiDevice() { return std::make_shared<SynthMidiDevice>(); }
}  // namespace Platform
