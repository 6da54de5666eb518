// The SDL audio device behind the mixer: float stereo at 44100 Hz in small blocks; SDL converts
// when the hardware wants something else. No sound card (or no driver) leaves the output off.
#include <SDL.h>

#include "platform/audio/mixer.h"

namespace {
void Callback(void*, Uint8* stream, int len)
{
    const int frames = len / static_cast<int>(sizeof(float) * Platform::kAudioChannels);
    Platform::MixAudio(reinterpret_cast<float*>(stream), frames);
}

class SdlOutput : public Platform::AudioOutput {
public:
    bool Start(int& blockFrames) override
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = Platform::kAudioRate;
        want.format = AUDIO_F32SYS;
        want.channels = Platform::kAudioChannels;
        want.samples = Platform::kAudioBlockFrames;
        want.callback = Callback;
        SDL_AudioSpec have{};
        FDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (FDevice == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        blockFrames = have.samples;
        SDL_PauseAudioDevice(FDevice, 0);
        return true;
    }

    void Stop() override
    {
        if (FDevice == 0) return;
        SDL_CloseAudioDevice(FDevice);  // waits for a callback under way
        FDevice = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

private:
    SDL_AudioDeviceID FDevice = 0;
};
}  // namespace

namespace Platform {
AudioOutput& SdlAudioOutput()
{
    static SdlOutput* output = new SdlOutput;  // kept to the end: the mixer stops it at exit
    return *output;
}
}  // namespace Platform
