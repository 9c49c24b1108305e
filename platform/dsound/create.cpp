// DirectSound 8 entry point.
#include <dsound.h>

#include "dsound_private.h"
#include "../audio_device/audio_device.h"

// Creates the device object for the default playback device (the only one:
// the device id is not looked at); DSERR_NODRIVER when no audio device can
// be opened.
HRESULT WINAPI DirectSoundCreate8(const GUID*, LPDIRECTSOUND8* sound,
                                  LPUNKNOWN) {
    *sound = nullptr;
    if (!AudioDeviceAddUser()) return DSERR_NODRIVER;
    *sound = new DirectSoundDevice();
    return DS_OK;
}
