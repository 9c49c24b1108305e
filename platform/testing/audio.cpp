// Test seams of the audio stand-ins.
#include "seams.h"

#include <SDL_mixer.h>

#include "../dshow/dshow_private.h"
#include "../dsound/dsound_private.h"
#include "../audio_device/effects_device.h"
#include "../audio_device/audio_device.h"
#include "../winmm/mmio_private.h"

void TestRecordAudio(bool on) {
    AudioSetRecording(on);
}

std::vector<AudioEvent> TestAudioEventsOf(AudioEventKind kind) {
    std::vector<AudioEvent> found;
    for (const AudioEvent& event : AudioEvents())
        if (event.kind == kind) found.push_back(event);
    return found;
}

bool TestBufferFirstSample(LPDIRECTSOUNDBUFFER buffer, uint64_t* playNs,
                           uint64_t* firstSampleNs) {
    SoundBuffer* found = SoundBufferFromInterface(buffer);
    if (!found) return false;
    found->FirstSampleTimes(playNs, firstSampleNs);
    return true;
}

uint32_t TestBufferConvertedBytes(LPDIRECTSOUNDBUFFER buffer) {
    SoundBuffer* found = SoundBufferFromInterface(buffer);
    return found ? found->ConvertedBytes() : 0;
}

uint64_t TestAudioPasses(AudioDevice device) {
    return AudioPasses(device);
}
bool TestEffectsDeviceOpen() {
    return EffectsDeviceOpen();
}

int TestLiveSoundBuffers() {
    return SoundBufferLiveCount();
}
int TestLiveFilterGraphs() {
    return FilterGraphLiveCount();
}
int TestMixerMusicVolume() {
    return Mix_VolumeMusic(-1);
}
bool TestMixerMusicPlaying() {
    return AudioDeviceIsOpen() && Mix_PlayingMusic();
}

int TestMmioOpenHandles() {
    return MmioOpenHandles();
}

bool TestResetAudio() {
    AudioSetRecording(false);
    AudioClearEvents();
    Mix_VolumeMusic(MIX_MAX_VOLUME);
    return AudioDeviceShutdown();
}
