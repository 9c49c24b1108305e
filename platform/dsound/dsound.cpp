// IDirectSound8: the device object.
#include "dsound_private.h"

#include "../kernel/fault.h"
#include "../trace/trace.h"

#include "../audio_device/audio_device.h"

// The last reference lets go of the audio device.
DirectSoundDevice::~DirectSoundDevice() {
    AudioDeviceRemoveUser();
}

// Hands out IUnknown: the game asks the device for no other interface.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::QueryInterface(REFIID riid,
                                                            void** object) {
    TRACE(TRACE_DSOUND, "riid=%s", TraceGuid(riid).c_str());
    return AnswerQuery(riid, object, TRACE_DSOUND, "IDirectSound8", {});
}

// Makes a static secondary buffer of at least one frame, with the controls
// the game asks for (none of which it uses); the only format is 11025 Hz
// 16-bit stereo PCM. Other formats (DSERR_BADFORMAT) and other kinds of
// buffer (DSERR_INVALIDPARAM) are not stood in for.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::CreateSoundBuffer(
    LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
    TRACE(TRACE_DSOUND, "flags=0x%x bytes=%u format=%p outer=%p",
          desc ? (unsigned)desc->dwFlags : 0u,
          desc ? (unsigned)desc->dwBufferBytes : 0u,
          desc ? (void*)desc->lpwfxFormat : nullptr, (void*)outer);
    *buffer = nullptr;
    if (!desc || desc->dwSize != sizeof(DSBUFFERDESC) ||
        desc->dwBufferBytes < DSBSIZE_MIN || !desc->lpwfxFormat)
        return DSERR_INVALIDPARAM;
    if (outer) return CLASS_E_NOAGGREGATION;
    const DWORD known = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE |
                        DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                        DSBCAPS_CTRLVOLUME;
    if (desc->dwFlags & ~known) {
        FIXME(TRACE_DSOUND, "flags=0x%x: only static secondary buffers",
              (unsigned)desc->dwFlags);
        return DSERR_INVALIDPARAM;
    }

    const WAVEFORMATEX& format = *desc->lpwfxFormat;
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels != 2 ||
        format.nSamplesPerSec != 11025 || format.wBitsPerSample != 16 ||
        format.nBlockAlign != 4 || format.nAvgBytesPerSec != 44100) {
        FIXME(TRACE_DSOUND,
              "format tag=%u channels=%u rate=%u bits=%u: only 11025 Hz "
              "16-bit stereo PCM",
              (unsigned)format.wFormatTag, (unsigned)format.nChannels,
              (unsigned)format.nSamplesPerSec, (unsigned)format.wBitsPerSample);
        return DSERR_BADFORMAT;
    }

    SoundBuffer* made = SoundBuffer::Create(desc->dwBufferBytes);
    if (!made) return DSERR_OUTOFMEMORY;
    *buffer = made;
    return DS_OK;
}

// Every level is granted: the buffers' format is fixed whatever the level.
HRESULT STDMETHODCALLTYPE DirectSoundDevice::SetCooperativeLevel(HWND window,
                                                                 DWORD level) {
    TRACE(TRACE_DSOUND, "window=%p level=0x%x", (void*)window, (unsigned)level);
    return TakeFault(FAULT_DSOUND_SETCOOPERATIVELEVEL);
}
