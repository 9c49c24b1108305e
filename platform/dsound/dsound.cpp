// IDirectSound8: the device object.
#include "dsound_private.h"

#include "../kernel/fault.h"

#include "audio_record.h"
#include "mixer.h"

// The last reference lets go of the audio device.
DirectSoundDevice::~DirectSoundDevice() {
    MixerRemoveUser();
}

// Hands out the object itself for IUnknown, IDirectSound and IDirectSound8.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::QueryInterface(REFIID riid,
                                                            void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectSound ||
        riid == IID_IDirectSound8) {
        *object = static_cast<IDirectSound8*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Makes a static secondary buffer; the only format is 11025 Hz 16-bit stereo
// PCM, anything else is DSERR_BADFORMAT.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::CreateSoundBuffer(
    LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    HRESULT fault = TakeFault(FAULT_CREATESOUNDBUFFER);
    if (FAILED(fault)) return fault;
    if (outer) return DSERR_NOAGGREGATION;
    if (!desc || desc->dwSize != sizeof(DSBUFFERDESC) || !desc->lpwfxFormat)
        return DSERR_INVALIDPARAM;
    // The primary buffer is the mixer's own; it is not handed out.
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) return DSERR_INVALIDPARAM;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
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

// Records the cooperative level; every level is granted.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::SetCooperativeLevel(HWND,
                                                                 DWORD level) {
    HRESULT fault = TakeFault(FAULT_DSOUND_SETCOOPERATIVELEVEL);
    if (FAILED(fault)) return fault;
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    cooperativeLevel = level;
    return DS_OK;
}
