// Test seams of the audio stand-ins (mmio, DirectSound, DirectShow). The
// game never calls these.
#ifndef QEL_PLATFORM_TESTING_AUDIO_H
#define QEL_PLATFORM_TESTING_AUDIO_H

#include <windows.h>
#include <dsound.h>

#include <cstdint>
#include <vector>

#include "../audio_device/audio_record.h"

// The record of started audio: buffer plays, each with its steady-clock
// time. Off until turned on.
void TestRecordAudio(bool on);
// Events of one kind, in order.
std::vector<AudioEvent> TestAudioEventsOf(AudioEventKind kind);

// For a buffer started while the record was on: the steady-clock time of
// the Play that started it and of the first mixing pass that took its
// samples (0 until that pass has run). False for an unknown buffer.
bool TestBufferFirstSample(LPDIRECTSOUNDBUFFER buffer, uint64_t* playNs,
                           uint64_t* firstSampleNs);

// The size of a buffer's samples once converted to the mixer's format
// (44100 Hz 16-bit stereo): 0 before its Unlock or for an unknown one.
uint32_t TestBufferConvertedBytes(LPDIRECTSOUNDBUFFER buffer);

// Mixing passes of a device since the record was cleared, counted while it
// is on: how often the sound server is fed.
uint64_t TestAudioPasses(AudioDevice device);
// Whether the sound buffers' device is open now.
bool TestEffectsDeviceOpen();

// Live objects.
int TestLiveSoundBuffers();
int TestLiveFilterGraphs();
// SDL_mixer's music volume, 0..128, and whether its music stream plays.
int TestMixerMusicVolume();
bool TestMixerMusicPlaying();

// mmio handles open now.
int TestMmioOpenHandles();

// Clears the record, and closes the audio devices (the music's and the
// sounds') when no object holds them any more, so that the next test opens
// them afresh (with the SDL_AUDIODRIVER then set) at full music volume. Returns
// false when objects are still alive (a test leaked them).
bool TestResetAudio();

#endif
