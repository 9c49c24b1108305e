// DirectSound 8 entry point.
#include <dsound.h>

#include "dsound_private.h"

#include "../trace/trace.h"
#include "../audio_device/audio_device.h"

// Creates the device object for the default playback device, the only one
// (a null device id); DSERR_NODRIVER when no audio device can be opened.
// It cannot be aggregated.
HRESULT WINAPI DirectSoundCreate8(const GUID* device, LPDIRECTSOUND8* sound,
                                  LPUNKNOWN outer) {
    TRACE(TRACE_DSOUND, "device=%s sound=%p outer=%p",
          device ? TraceGuid(*device).c_str() : "(nil)", (void*)sound,
          (void*)outer);
    *sound = nullptr;
    if (device && *device != GUID_NULL) {
        FIXME(TRACE_DSOUND, "device=%s: only the default device is there",
              TraceGuid(*device).c_str());
        return DSERR_NODRIVER;
    }
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!AudioDeviceAddUser()) return DSERR_NODRIVER;
    *sound = new DirectSoundDevice();
    return DS_OK;
}
