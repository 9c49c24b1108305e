// IDirectSound8: the device object.
#include "dsound_private.h"

#include "../kernel/fault.h"

#include "../audio_device/audio_device.h"

// The last reference lets go of the audio device.
DirectSoundDevice::~DirectSoundDevice() {
    AudioDeviceRemoveUser();
}

// The game asks the device for no other interface: none is handed out.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::QueryInterface(REFIID,
                                                            void** object) {
    *object = nullptr;
    return E_NOINTERFACE;
}

// Makes a static secondary buffer of at least one frame; the only format is
// 11025 Hz 16-bit stereo PCM, anything else is DSERR_BADFORMAT.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::CreateSoundBuffer(
    LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN) {
    *buffer = nullptr;
    if (desc->dwSize != sizeof(DSBUFFERDESC) ||
        desc->dwBufferBytes < DSBSIZE_MIN)
        return DSERR_INVALIDPARAM;

    const WAVEFORMATEX& format = *desc->lpwfxFormat;
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels != 2 ||
        format.nSamplesPerSec != 11025 || format.wBitsPerSample != 16 ||
        format.nBlockAlign != 4 || format.nAvgBytesPerSec != 44100)
        return DSERR_BADFORMAT;

    SoundBuffer* made = SoundBuffer::Create(desc->dwBufferBytes);
    if (!made) return DSERR_OUTOFMEMORY;
    *buffer = made;
    return DS_OK;
}

// Every level is granted.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::SetCooperativeLevel(HWND, DWORD) {
    return TakeFault(FAULT_DSOUND_SETCOOPERATIVELEVEL);
}
