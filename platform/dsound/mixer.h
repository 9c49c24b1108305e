// The one audio device that DirectSound and DirectShow share: SDL_mixer at
// 44100 Hz stereo with a short mixing buffer, opened by whichever needs it
// first. Its channels carry the sound buffers, its music stream the graph.
#ifndef QEL_PLATFORM_DSOUND_MIXER_H
#define QEL_PLATFORM_DSOUND_MIXER_H

#include <cstdint>

// Opens the device if it is not open yet and counts one more user; false
// (and nothing counted) when no device can be opened.
bool MixerAddUser();
void MixerRemoveUser();
bool MixerIsOpen();

// The format the device really mixes in (SDL audio format constants).
void MixerOutputFormat(int* rate, uint16_t* format, int* channels);

// A mixer channel of its own for a sound buffer, and giving it back.
int MixerTakeChannel();
void MixerGiveChannel(int channel);

// Closes the device once nobody uses it, so that the next user opens it
// afresh. The game never calls this: its device lives as long as the process
// (closing can take more than a second with PulseAudio). Returns whether the
// device is closed afterwards.
bool MixerShutdown();

#endif
