// Sound files for the audio tests: RIFF WAVE files written byte by byte
// (well formed, odd, cut short or lying about their sizes) and a short mp3
// encoded with the lame command.
#ifndef QEL_TESTS_SUPPORT_AUDIO_FILES_H
#define QEL_TESTS_SUPPORT_AUDIO_FILES_H

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace audio_files {

using Bytes = std::vector<uint8_t>;

// `value`'s low `bytes` bytes, least significant first.
inline void PutLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> 8 * i));
}

// A chunk holding `data`, its size field `claimed` (the data's size when
// negative), with the pad byte after odd-sized data when `pad` is set.
inline Bytes Chunk(const char* id, const Bytes& data, bool pad = true,
                   int64_t claimed = -1) {
    Bytes out(id, id + 4);
    PutLe(out, uint32_t(claimed < 0 ? int64_t(data.size()) : claimed), 4);
    out.insert(out.end(), data.begin(), data.end());
    if (pad && (data.size() & 1)) out.push_back(0);
    return out;
}

// The data of a format chunk of `size` bytes (16, 18 or more; bytes past the
// 18th are extra format bytes, zero).
inline Bytes FormatData(uint16_t tag, uint16_t channels, uint32_t rate,
                        uint16_t bits, uint32_t size = 16) {
    Bytes out;
    uint16_t blockAlign = uint16_t(channels * bits / 8);
    const uint32_t fields[] = {tag,        channels, rate, rate * blockAlign,
                               blockAlign, bits};
    for (int i = 0; i < 6; ++i)
        PutLe(out, fields[i], i == 2 || i == 3 ? 4 : 2);
    if (size >= 18) PutLe(out, size - 18, 2);
    out.resize(size);
    return out;
}

// A RIFF file of `form` holding `chunks`, its size field as Chunk's.
inline Bytes Riff(const char* form, std::initializer_list<Bytes> chunks,
                  int64_t claimed = -1) {
    Bytes body(form, form + 4);
    for (const Bytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    return Chunk("RIFF", body, false, claimed);
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
        PutLe(pcm,
              uint16_t(int16_t(8000 * std::sin(2 * M_PI * 440 * i / 44100.0))),
              2);
    std::string wave = path + ".wav";
    bool ok = WriteBytes(wave, SimpleWave(pcm, 1, 44100, 16)) &&
              std::system(
                  ("lame --quiet '" + wave + "' '" + path + "'").c_str()) == 0;
    unlink(wave.c_str());
    return ok;
}

} // namespace audio_files

#endif
