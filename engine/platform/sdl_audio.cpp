// The one audio device: 44100 Hz, signed 16-bit stereo, filled by the sound engine's callback.
#include <SDL2/SDL.h>

#include "engine/platform/log.h"
#include "engine/platform/platform.h"

namespace {

struct Audio {
    SDL_AudioDeviceID device = 0;
    PlatAudioFill fill = nullptr;
};

Audio gAudio;

void audioCallback(void* user, Uint8* stream, int bytes) {
    const Audio* audio = static_cast<const Audio*>(user);
    audio->fill(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

}  // namespace

bool platAudioOpen(PlatAudioFill fill) {
    if (!fill) return false;
    if (gAudio.device) {
        logPrintf("platAudioOpen: the audio device is already open\n");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        logPrintf("platAudioOpen: no audio: %s\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    want.userdata = &gAudio;
    gAudio.fill = fill;
    // No changes allowed: SDL converts to whatever the hardware takes.
    gAudio.device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (!gAudio.device) {
        logPrintf("platAudioOpen: %s\n", SDL_GetError());
        gAudio.fill = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

void platAudioPause(bool paused) {
    if (gAudio.device) SDL_PauseAudioDevice(gAudio.device, paused ? 1 : 0);
}

void platAudioClose() {
    if (!gAudio.device) return;
    SDL_CloseAudioDevice(gAudio.device);
    gAudio.device = 0;
    gAudio.fill = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
