// The music's audio device over SDL_mixer.
#include "audio_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

#include "audio_record.h"
#include "effects_device.h"

namespace {

const int kOutputRate = 44100;
// 4096 frames at 44.1 kHz: 93 ms a pass, so the sound server is fed about
// 11 times a second while the music plays alone (86 times with 512 frames,
// and about 1700 wakeups of the server a second against 165). Only the music
// and its volume wait for the next pass: sounds have a device of their own.
const int kMixFrames = 4096;

// 512 frames: 11.6 ms at most from a Play to its first mixed sample, where
// the sounds share this device.
const int kSharedMixFrames = 512;

bool deviceOpen = false;
int users = 0;
int outputRate = 0;
Uint16 outputFormat = 0;
int outputChannels = 0;

// Sees every mixed pass of the device, and adds the sounds where they share
// it.
void SDLCALL AfterMix(void*, Uint8* stream, int length) {
    AudioNotePass(AUDIO_DEVICE_MUSIC);
    EffectsMixInto(stream, length);
}

// The sounds' device first, in the format it keeps: where it cannot be
// opened, or where the music's cannot be opened beside it, the sounds share
// a music device of their short period.
bool OpenDevices() {
    bool beside = EffectsOpenBeside(kOutputRate, AUDIO_S16SYS, 2);
    if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, 2,
                      beside ? kMixFrames : kSharedMixFrames) != 0) {
        if (!beside) return false;
        EffectsShutdown();
        beside = false;
        if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, 2, kSharedMixFrames) != 0)
            return false;
    }
    if (beside) {
        outputRate = kOutputRate;
        outputFormat = AUDIO_S16SYS;
        outputChannels = 2;
    } else {
        Mix_QuerySpec(&outputRate, &outputFormat, &outputChannels);
        EffectsShareMusicDevice(outputFormat);
    }
    return true;
}

bool OpenDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fprintf(stderr, "qel: no audio device: %s\n", SDL_GetError());
        return false;
    }
    if (!OpenDevices()) {
        fprintf(stderr, "qel: no audio device: %s\n", Mix_GetError());
        EffectsShutdown();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_SetPostMix(AfterMix, nullptr);
    // The music stream alone: no channels.
    Mix_AllocateChannels(0);
    deviceOpen = true;
    return true;
}

} // namespace

bool AudioDeviceAddUser() {
    if (!deviceOpen && !OpenDevice()) return false;
    ++users;
    return true;
}

void AudioDeviceRemoveUser() {
    --users;
}

bool AudioDeviceIsOpen() {
    return deviceOpen;
}

void AudioDeviceOutputFormat(int* rate, uint16_t* format, int* channels) {
    *rate = outputRate;
    *format = outputFormat;
    *channels = outputChannels;
}

bool AudioDeviceShutdown() {
    if (deviceOpen && users == 0) {
        EffectsShutdown();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        deviceOpen = false;
    }
    return !deviceOpen;
}
