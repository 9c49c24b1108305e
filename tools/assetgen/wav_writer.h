// Canonical RIFF WAVE files: a 44-byte header (a 16-byte "fmt " chunk, then
// "data") and interleaved 16-bit PCM, the layout every reader accepts.
#ifndef QEL_ASSETGEN_WAV_WRITER_H
#define QEL_ASSETGEN_WAV_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

// Writes interleaved stereo samples at rate; false, with a message on stderr,
// when the file cannot be written.
bool WriteStereoWave(const std::string& path,
                     const std::vector<int16_t>& samples, uint32_t rate);

#endif
