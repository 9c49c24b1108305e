// libFuzzer target: ReadWaveFile through the mmio stand-in, the input being
// the whole file. The file is a memfd, opened by its /proc/self/fd name.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/wave_reader.h"
#include "winmm/mmio_private.h"

namespace {

int memoryFile = -1;
char fileName[64];

bool WriteInput(const uint8_t* data, size_t size) {
    if (memoryFile < 0) {
        memoryFile = memfd_create("wave", MFD_CLOEXEC);
        if (memoryFile < 0) return false;
        snprintf(fileName, sizeof(fileName), "/proc/self/fd/%d", memoryFile);
    }
    if (ftruncate(memoryFile, 0) != 0) return false;
    size_t written = 0;
    while (written < size) {
        ssize_t now =
            pwrite(memoryFile, data + written, size - written, off_t(written));
        if (now <= 0) return false;
        written += size_t(now);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteInput(data, size)) abort();

    WaveData wave = {};
    bool ok = ReadWaveFile(fileName, &wave);

    // Whatever the bytes, the reader leaves no file open ...
    if (MmioOpenHandles() != 0) abort();
    if (!ok) return 0;
    // ... and what it hands on is PCM with samples that came from the file.
    if (wave.format.wFormatTag != WAVE_FORMAT_PCM) abort();
    if (wave.dataSize > size) abort();
    if (wave.dataSize > 0 && !memmem(data, size, wave.data, wave.dataSize))
        abort();
    free(wave.data);
    return 0;
}
