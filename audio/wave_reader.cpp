// Reads an uncompressed PCM RIFF WAVE file through winmm's mmio services.
#include "audio/wave_reader.h"

#include <cstdio>
#include <cstdlib>

bool ReadWaveFile(const char* fileName, WaveData* wave) {
    MMCKINFO form = {};
    MMCKINFO chunk = {};

    HMMIO file = mmioOpenA(const_cast<LPSTR>(fileName), nullptr,
                           MMIO_ALLOCBUF | MMIO_READ);
    if (!file) return false;

    form.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &form, nullptr, MMIO_FINDRIFF) != 0) {
        mmioClose(file, 0);
        return false;
    }

    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) != 0) {
        mmioClose(file, 0);
        return false;
    }

    // Always the first 18 bytes: with a 16-byte chunk the two bytes after it
    // land in cbSize, which nothing reads.
    if (mmioRead(file, reinterpret_cast<HPSTR>(&wave->format), 18) != 18) {
        mmioClose(file, 0);
        return false;
    }
    if (wave->format.wFormatTag != WAVE_FORMAT_PCM) {
        mmioClose(file, 0);
        return false;
    }
    if (mmioAscend(file, &chunk, 0) != 0) {
        mmioClose(file, 0);
        return false;
    }

    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) != 0) {
        mmioClose(file, 0);
        return false;
    }

    // The size field is untrusted: never allocate more than the file still
    // holds, and never hand on a block that was not filled.
    LONG here = mmioSeek(file, 0, SEEK_CUR);
    LONG end = mmioSeek(file, 0, SEEK_END);
    if (here < 0 || end < here || chunk.cksize > DWORD(end - here) ||
        mmioSeek(file, here, SEEK_SET) != here) {
        mmioClose(file, 0);
        return false;
    }

    wave->dataSize = chunk.cksize;
    wave->data = static_cast<BYTE*>(malloc(wave->dataSize));
    if (!wave->data && wave->dataSize != 0) {
        mmioClose(file, 0);
        return false;
    }
    if (mmioRead(file, reinterpret_cast<HPSTR>(wave->data),
                 LONG(wave->dataSize)) != LONG(wave->dataSize)) {
        free(wave->data);
        wave->data = nullptr;
        mmioClose(file, 0);
        return false;
    }

    mmioClose(file, 0);
    return true;
}
