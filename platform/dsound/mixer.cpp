// The shared audio device over SDL_mixer.
#include "mixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <vector>

#include "audio_record.h"

namespace {

const int kOutputRate = 44100;
// 512 frames at 44.1 kHz: 11.6 ms from a Play to its first mixed sample at
// worst, short enough that a hit is heard with the key press.
const int kMixFrames = 512;

bool deviceOpen = false;
int users = 0;
int outputRate = 0;
Uint16 outputFormat = 0;
int outputChannels = 0;

// Sees every mixed pass of the device, music and sounds together.
void SDLCALL CountPass(void*, Uint8*, int) {
    AudioNotePass(AUDIO_DEVICE_MUSIC);
}

std::vector<bool>& TakenChannels() {
    static std::vector<bool> taken;
    return taken;
}

bool OpenDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fprintf(stderr, "qel: no audio device: %s\n", SDL_GetError());
        return false;
    }
    if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, 2, kMixFrames) != 0) {
        fprintf(stderr, "qel: no audio device: %s\n", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_QuerySpec(&outputRate, &outputFormat, &outputChannels);
    Mix_SetPostMix(CountPass, nullptr);
    // Channels are made one per sound buffer, none in advance.
    Mix_AllocateChannels(0);
    TakenChannels().clear();
    deviceOpen = true;
    return true;
}

} // namespace

bool MixerAddUser() {
    if (!deviceOpen && !OpenDevice()) return false;
    ++users;
    return true;
}

void MixerRemoveUser() {
    --users;
}

bool MixerIsOpen() {
    return deviceOpen;
}

void MixerOutputFormat(int* rate, uint16_t* format, int* channels) {
    *rate = outputRate;
    *format = outputFormat;
    *channels = outputChannels;
}

int MixerTakeChannel() {
    std::vector<bool>& taken = TakenChannels();
    int channel = 0;
    while (channel < int(taken.size()) && taken[channel])
        ++channel;
    if (channel == int(taken.size())) taken.push_back(true);
    taken[channel] = true;
    if (channel >= Mix_AllocateChannels(-1)) Mix_AllocateChannels(channel + 1);
    return channel;
}

void MixerGiveChannel(int channel) {
    std::vector<bool>& taken = TakenChannels();
    if (channel >= 0 && channel < int(taken.size())) taken[channel] = false;
}

bool MixerShutdown() {
    if (deviceOpen && users == 0) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        TakenChannels().clear();
        deviceOpen = false;
    }
    return !deviceOpen;
}
