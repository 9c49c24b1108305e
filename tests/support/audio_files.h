// Sound files for the audio tests, written byte by byte: RIFF WAVE files
// (well formed, odd, cut short or lying about their sizes) and a short mp3
// encoded with the lame command. Also used by the fuzz seed writer.
#ifndef QEL_TESTS_UNIT_AUDIO_FILES_H
#define QEL_TESTS_UNIT_AUDIO_FILES_H

#include <ftw.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace audio_files {

using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void PutLe32(Bytes& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(uint8_t(value >> shift));
}

inline void PutId(Bytes& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
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
// 18th are extra format bytes 0xE0, 0xE1, ...).
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
    for (uint32_t i = 18; i < size; ++i)
        out.push_back(uint8_t(0xE0 + i - 18));
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
    uint32_t size = uint32_t(out.size() - 8);
    memcpy(&out[4], &size, 4);
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
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() ||
              fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

inline Bytes ReadBytes(const std::string& path) {
    Bytes bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof(block), file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    fclose(file);
    return bytes;
}

// A directory of its own under /tmp, removed with everything in it.
struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/qel-audio-XXXXXX";
        if (mkdtemp(name)) path = name;
    }
    ~TempDir() {
        if (!path.empty())
            nftw(path.c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
    }
    std::string File(const std::string& name) const {
        return path + "/" + name;
    }

  private:
    static int RemoveEntry(const char* entry, const struct stat*, int,
                           struct FTW*) {
        remove(entry);
        return 0;
    }
};

// Encodes `seconds` of a 440 Hz sine (44100 Hz mono) to an mp3 with the lame
// command; false when lame is missing or fails.
inline bool WriteSineMp3(const std::string& path, double seconds) {
    std::string wave = path + ".wav";
    Bytes pcm;
    int frames = int(seconds * 44100);
    for (int i = 0; i < frames; ++i)
        PutLe16(pcm, uint16_t(int16_t(8000 *
                                      std::sin(2 * M_PI * 440 * i / 44100.0))));
    if (!WriteBytes(wave, SimpleWave(pcm, 1, 44100, 16))) return false;

    const char* argv[] = {"lame", "--quiet", wave.c_str(), path.c_str(),
                          nullptr};
    pid_t child;
    if (posix_spawnp(&child, "lame", nullptr, nullptr,
                     const_cast<char* const*>(argv), environ) != 0)
        return false;
    int status = 0;
    bool ok = waitpid(child, &status, 0) == child && WIFEXITED(status) &&
              WEXITSTATUS(status) == 0;
    unlink(wave.c_str());
    return ok;
}

} // namespace audio_files

#endif
