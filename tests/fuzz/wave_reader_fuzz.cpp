// libFuzzer target: ReadWaveFile through the mmio stand-in, the input being
// the whole file. A file left open is a leak that LeakSanitizer reports.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/wave_reader.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* fileName = WriteMemoryFile(data, size);
    if (!fileName) abort();

    WaveData wave = {};
    if (!ReadWaveFile(fileName, &wave)) return 0;
    // What the reader hands on is PCM with samples that came from the file.
    if (wave.format.wFormatTag != WAVE_FORMAT_PCM) abort();
    if (wave.dataSize > size) abort();
    if (wave.dataSize > 0 && !memmem(data, size, wave.data, wave.dataSize))
        abort();
    free(wave.data);
    return 0;
}
