// Reads an uncompressed PCM RIFF WAVE file into memory.
#ifndef QEL_AUDIO_WAVE_READER_H
#define QEL_AUDIO_WAVE_READER_H

#include <windows.h>
#include <mmsystem.h>

struct WaveData {
    WAVEFORMATEX format;
    DWORD dataSize;
    BYTE* data; // malloc'ed; the caller frees it after a successful read
};

bool ReadWaveFile(const char* fileName, WaveData* wave);

#endif
