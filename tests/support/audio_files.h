// Sound files for the audio tests: RIFF WAVE files written byte by byte
// (well formed, odd, cut short or lying about their sizes) and a short mp3
// encoded with the lame command. Also used by the fuzz seed writer.
#ifndef QEL_TESTS_SUPPORT_AUDIO_FILES_H
#define QEL_TESTS_SUPPORT_AUDIO_FILES_H

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace audio_files {

using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void PutLe32(Bytes& out, uint32_t value) {
    PutLe16(out, uint16_t(value));
    PutLe16(out, uint16_t(value >> 16));
}

inline void PutId(Bytes& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

// A chunk whose size field says `claimed`, holding `data`, with the pad byte
// after odd-sized data when `pad` is set.
inline Bytes ChunkClaiming(const char* id, uint32_t claimed, const Bytes& data,
                           bool pad = true) {
    Bytes out;
    PutId(out, id);
    PutLe32(out, claimed);
    out.insert(out.end(), data.begin(), data.end());
    if (pad && (data.size() & 1)) out.push_back(0);
    return out;
}

inline Bytes Chunk(const char* id, const Bytes& data, bool pad = true) {
    return ChunkClaiming(id, uint32_t(data.size()), data, pad);
}

// The data of a format chunk of `size` bytes (16, 18 or more; bytes past the
// 18th are extra format bytes, zero).
inline Bytes FormatData(uint16_t tag, uint16_t channels, uint32_t rate,
                        uint16_t bits, uint32_t size = 16) {
    Bytes out;
    uint16_t blockAlign = uint16_t(channels * bits / 8);
    PutLe16(out, tag);
    PutLe16(out, channels);
    PutLe32(out, rate);
    PutLe32(out, rate * blockAlign);
    PutLe16(out, blockAlign);
    PutLe16(out, bits);
    if (size >= 18) PutLe16(out, uint16_t(size - 18));
    out.resize(size);
    return out;
}

inline Bytes RiffClaiming(const char* form, uint32_t claimed,
                          std::initializer_list<Bytes> chunks) {
    Bytes out;
    PutId(out, "RIFF");
    PutLe32(out, claimed);
    PutId(out, form);
    for (const Bytes& chunk : chunks)
        out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
}

inline Bytes Riff(const char* form, std::initializer_list<Bytes> chunks) {
    Bytes out = RiffClaiming(form, 0, chunks);
    Bytes size;
    PutLe32(size, uint32_t(out.size() - 8));
    std::copy(size.begin(), size.end(), out.begin() + 4);
    return out;
}

// Recognisable sample bytes: 1, 2, 3, ... (mod 251, never 0).
inline Bytes Samples(size_t count) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = uint8_t(i % 251 + 1);
    return out;
}

// A canonical 44-byte-header WAVE file holding `samples`.
inline Bytes SimpleWave(const Bytes& samples, uint16_t channels = 2,
                        uint32_t rate = 11025, uint16_t bits = 16) {
    return Riff("WAVE", {Chunk("fmt ", FormatData(1, channels, rate, bits)),
                         Chunk("data", samples)});
}

inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              std::streamsize(bytes.size()));
    return bool(out.flush());
}

// Encodes `seconds` of a 440 Hz sine (44100 Hz mono) to an mp3 with the lame
// command; false when lame is missing or fails.
inline bool WriteSineMp3(const std::string& path, double seconds) {
    Bytes pcm;
    for (int i = 0; i < int(seconds * 44100); ++i)
        PutLe16(pcm, uint16_t(int16_t(8000 *
                                      std::sin(2 * M_PI * 440 * i / 44100.0))));
    std::string wave = path + ".wav";
    bool ok = WriteBytes(wave, SimpleWave(pcm, 1, 44100, 16)) &&
              std::system(
                  ("lame --quiet '" + wave + "' '" + path + "'").c_str()) == 0;
    unlink(wave.c_str());
    return ok;
}

} // namespace audio_files

#endif
