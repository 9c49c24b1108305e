// winmm: multimedia file I/O and the wave format record, for the Linux
// stand-in.
#ifndef QEL_PLATFORM_MMSYSTEM_H
#define QEL_PLATFORM_MMSYSTEM_H

#include <windows.h>

typedef UINT MMRESULT;
typedef DWORD FOURCC;
typedef char* HPSTR;
DECLARE_HANDLE(HMMIO);

#define MMSYSERR_NOERROR 0
#define MMIOERR_BASE 256
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)

#define MMIO_READ 0x00000000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_DEFAULTBUFFER 8192

#ifndef SEEK_SET
#define SEEK_SET 0
#define SEEK_CUR 1
#define SEEK_END 2
#endif

#define mmioFOURCC(c0, c1, c2, c3)                                             \
    ((DWORD)(BYTE)(c0) | ((DWORD)(BYTE)(c1) << 8) |                            \
     ((DWORD)(BYTE)(c2) << 16) | ((DWORD)(BYTE)(c3) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')

typedef struct _MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
} MMCKINFO, *LPMMCKINFO;

struct _MMIOINFO;
typedef struct _MMIOINFO* LPMMIOINFO;

#define WAVE_FORMAT_PCM 1
#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *LPWAVEFORMATEX;
#pragma pack(pop)

HMMIO WINAPI mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags);
MMRESULT WINAPI mmioClose(HMMIO mmio, UINT flags);
LONG WINAPI mmioRead(HMMIO mmio, HPSTR buffer, LONG count);
LONG WINAPI mmioSeek(HMMIO mmio, LONG offset, int origin);
MMRESULT WINAPI mmioDescend(HMMIO mmio, LPMMCKINFO chunk,
                            const MMCKINFO* parent, UINT flags);
MMRESULT WINAPI mmioAscend(HMMIO mmio, LPMMCKINFO chunk, UINT flags);

#endif
