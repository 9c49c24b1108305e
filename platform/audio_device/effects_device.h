// The sound buffers' own audio device: a short mixing period, so that a
// Play is heard at once, but open only while a buffer plays and for a moment
// after. The music has a device of its own with a long period (audio_device.h),
// so while no buffer plays the sound server is woken only as seldom as that one
// asks. (An SDL 2 device that is merely paused still streams silence, and
// feeds the server as often as a playing one.)
#ifndef QEL_PLATFORM_AUDIO_DEVICE_EFFECTS_DEVICE_H
#define QEL_PLATFORM_AUDIO_DEVICE_EFFECTS_DEVICE_H

#include <atomic>
#include <cstdint>

// Opens the device in the format the buffers' samples are converted to,
// before the music's device: false when it cannot be opened. It closes once
// nothing has played for a moment, and opens again for the next Play.
bool EffectsOpenBeside(int rate, uint16_t format, int channels);
// Where the music's device is the only one there can be (SDL's dummy
// driver, for one): the sounds are mixed into each of its passes by
// EffectsMixInto, their samples in `format`, and no device of their own
// opens.
void EffectsShareMusicDevice(uint16_t format);
void EffectsMixInto(uint8_t* stream, int length);

// Starts `bytes` of `samples` from their beginning for `owner` (a sound
// buffer, known only by its address), and has the device opened when it is
// closed (the voice is dropped when that fails); false when neither a device
// of its own nor the music's takes sounds. While the audio record is on, the
// first pass that mixes the samples stores its time in `firstMixedNs` where
// that is still 0. The samples and `firstMixedNs` stay valid until
// EffectsStop(owner).
bool EffectsPlay(const void* owner, const uint8_t* samples, uint32_t bytes,
                 std::atomic<uint64_t>* firstMixedNs);
// Whether `owner`'s samples are still being played.
bool EffectsPlaying(const void* owner);
// Ends `owner`'s play: on return the device's thread no longer reaches it.
void EffectsStop(const void* owner);

// Whether a device is open or still closing.
bool EffectsDeviceOpen();

// Closes the device now, and ends the thread that closes it when idle;
// the next start opens beside or shares afresh.
void EffectsShutdown();

#endif
