// The audio devices that DirectSound and DirectShow share, opened by
// whichever needs them first: SDL_mixer's at 44100 Hz stereo with a long
// mixing period, whose music stream carries the graph, and the sound
// buffers' own with a short one (effects_device.h). Where a second device
// cannot be opened, the buffers share SDL_mixer's, opened with the short
// period.
#ifndef QEL_PLATFORM_AUDIO_DEVICE_AUDIO_DEVICE_H
#define QEL_PLATFORM_AUDIO_DEVICE_AUDIO_DEVICE_H

#include <cstdint>

// Opens the device if it is not open yet and counts one more user; false
// (and nothing counted) when no device can be opened.
bool AudioDeviceAddUser();
void AudioDeviceRemoveUser();
bool AudioDeviceIsOpen();

// The format the sound buffers' samples are converted to (SDL audio format
// constants).
void AudioDeviceOutputFormat(int* rate, uint16_t* format, int* channels);

// Closes the device, and the sound buffers' device, once nobody uses them, so
// that the next user opens it afresh. The game never calls this: its device
// lives as long as the process (closing can take more than a second with
// PulseAudio). Returns whether the device is closed afterwards.
bool AudioDeviceShutdown();

#endif
