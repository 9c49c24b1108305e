// DirectSound 8, the subset Qel uses, for the Linux stand-in.
#ifndef QEL_PLATFORM_DSOUND_H
#define QEL_PLATFORM_DSOUND_H

#include <objbase.h>
#include <mmsystem.h>

struct IDirectSound8;
struct IDirectSoundBuffer;
typedef IDirectSound8* LPDIRECTSOUND8;
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

typedef struct _DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

#define DS_OK S_OK
#define MAKE_DSHRESULT(code) ((HRESULT)(0x88780000 | (code)))
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)

#define DSSCL_NORMAL 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002
#define DSBSIZE_MIN 4

struct IDirectSoundBuffer : IUnknown {
    STDMETHOD(Lock)(DWORD offset, DWORD bytes, LPVOID* part1,
                    LPDWORD part1Bytes, LPVOID* part2, LPDWORD part2Bytes,
                    DWORD flags) PURE;                               // slot 11
    STDMETHOD(Play)(DWORD reserved, DWORD priority, DWORD flags) PURE; // slot 12
    STDMETHOD(Unlock)(LPVOID part1, DWORD part1Bytes, LPVOID part2,
                      DWORD part2Bytes) PURE;                        // slot 19

  protected:
    ~IDirectSoundBuffer() = default;
};

struct IDirectSound8 : IUnknown {
    STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC desc,
                                 LPDIRECTSOUNDBUFFER* buffer,
                                 LPUNKNOWN outer) PURE;               // slot 3
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD level) PURE; // slot 6

  protected:
    ~IDirectSound8() = default;
};

HRESULT WINAPI DirectSoundCreate8(const GUID* device, LPDIRECTSOUND8* sound,
                                  LPUNKNOWN outer);

#endif
