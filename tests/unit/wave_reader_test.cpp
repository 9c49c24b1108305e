// ReadWaveFile over the mmio stand-in, on WAV files written into a temporary
// directory: the layouts it reads, and the files it refuses (not PCM, lying
// about their sizes; files cut anywhere are the fuzz target's) without
// leaving a file open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/wave_reader.h"
#include "audio_files.h"
#include "temp_dir.h"
#include "testing/seams.h"

using namespace audio_files;

namespace {

Bytes Fmt(uint16_t tag, uint32_t size = 16, int64_t claimed = -1) {
    return Chunk("fmt ", FormatData(tag, 2, 11025, 16, size), true, claimed);
}

// A file read gives the first 18 bytes of its format chunk as the format and
// its data chunk's samples, whatever the sound's own channels, rate and bits.
TEST(WaveReaderTest, ReadsPcmWavesAndRefusesOtherFiles) {
    const Bytes samples = Samples(16), fmt = Fmt(1),
                data = Chunk("data", samples);
    const struct {
        const char* what;
        Bytes file;
        int samples; // -1: refused
    } cases[] = {
        {"canonical", SimpleWave(Samples(400)), 400},
        {"18-byte format", Riff("WAVE", {Fmt(1, 18), data}), 16},
        {"40-byte format", Riff("WAVE", {Fmt(1, 40), data}), 16},
        {"odd format, last data unpadded",
         Riff("WAVE", {Fmt(1, 19), Chunk("data", Samples(5), false)}), 5},
        {"other chunks first",
         Riff("WAVE", {Chunk("LIST", Samples(9)), Chunk("fact", Samples(4)),
                       fmt, Chunk("junk", Samples(1)), data}),
         16},
        {"8-bit mono at 22050 Hz", SimpleWave(Samples(7), 1, 22050, 8), 7},
        {"no samples", SimpleWave(Bytes{}), 0},
        {"a form claiming more than the file",
         Riff("WAVE", {fmt, data}, 0xFFFFFFFFu), 16},
        {"empty", Bytes{}, -1},
        {"another form", Riff("AVI ", {fmt, data}), -1},
        {"no format", Riff("WAVE", {data}), -1},
        {"data before the format", Riff("WAVE", {data, fmt}), -1},
        {"no data", Riff("WAVE", {Fmt(1, 18)}), -1},
        {"ADPCM", Riff("WAVE", {Fmt(2, 40), data}), -1},
        {"float", Riff("WAVE", {Fmt(3, 18), data}), -1},
        {"extensible", Riff("WAVE", {Fmt(0xFFFE, 40), data}), -1},
        {"a chunk without its pad byte",
         Riff("WAVE", {Chunk("LIST", Samples(3), false), fmt, data}), -1},
        {"data past the form's end", Riff("WAVE", {fmt, data}, 4 + fmt.size()),
         -1},
        {"a format claiming 2 GB", Riff("WAVE", {Fmt(1, 16, 0x7FFFFFFF), data}),
         -1},
        // Taken as a LONG, 0xFFFFFFFF is the -1 that mmioRead returns for
        // it: only the size guard tells this from a good read.
        {"data claiming 4 GB",
         Riff("WAVE", {fmt, Chunk("data", samples, true, 0xFFFFFFFFu)}), -1},
        {"a file past 16 MB", SimpleWave(Bytes(16 << 20, 1)), -1},
    };
    TempDir dir;
    const std::string path = dir.File("sound.wav");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(path, c.file));
        WaveData wave = {};
        ASSERT_EQ(ReadWaveFile(path.c_str(), &wave), c.samples >= 0);
        EXPECT_EQ(TestMmioOpenHandles(), 0);
        if (c.samples < 0) continue;
        const char* id = "fmt ";
        auto format = std::search(c.file.begin(), c.file.end(), id, id + 4);
        EXPECT_EQ(memcmp(&wave.format, &*format + 8, 18), 0);
        EXPECT_EQ(Bytes(wave.data, wave.data + wave.dataSize),
                  Samples(c.samples));
        free(wave.data);
    }
    WaveData wave = {};
    EXPECT_FALSE(ReadWaveFile(dir.File("missing.wav").c_str(), &wave));
}

} // namespace
