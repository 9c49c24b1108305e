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

Bytes Fmt(uint16_t tag, uint32_t size = 16) {
    return Chunk("fmt ", FormatData(tag, 2, 11025, 16, size));
}

class WaveReaderTest : public ::testing::Test {
  protected:
    void TearDown() override { free(wave.data); }

    // Reads `bytes` from a file; afterwards no file may be open.
    bool Read(const Bytes& bytes) {
        free(wave.data);
        wave = WaveData{};
        std::string path = dir.File("sound.wav");
        EXPECT_TRUE(WriteBytes(path, bytes));
        bool ok = ReadWaveFile(path.c_str(), &wave);
        EXPECT_EQ(TestMmioOpenHandles(), 0);
        return ok;
    }

    TempDir dir;
    WaveData wave = {};
};

// The format is the first 18 bytes of the format chunk, the samples are the
// data chunk's, whatever the sound's own channels, rate and bits.
TEST_F(WaveReaderTest, ReadsTheFormatAndTheSamplesOfPcmFiles) {
    struct Case {
        const char* what;
        Bytes file;
        size_t samples;
    } cases[] = {
        {"canonical", SimpleWave(Samples(400)), 400},
        {"18-byte format",
         Riff("WAVE", {Fmt(1, 18), Chunk("data", Samples(12))}), 12},
        {"40-byte format",
         Riff("WAVE", {Fmt(1, 40), Chunk("data", Samples(12))}), 12},
        {"odd format, last data unpadded",
         Riff("WAVE", {Fmt(1, 19), Chunk("data", Samples(5), false)}), 5},
        {"other chunks first",
         Riff("WAVE",
              {Chunk("LIST", Samples(9)), Chunk("fact", Samples(4)), Fmt(1),
               Chunk("junk", Samples(1)), Chunk("data", Samples(8))}),
         8},
        {"8-bit mono at 22050 Hz", SimpleWave(Samples(7), 1, 22050, 8), 7},
        {"no samples", SimpleWave(Bytes{}), 0},
        {"a form claiming more than the file",
         Riff("WAVE", {Fmt(1), Chunk("data", Samples(16))}, 0xFFFFFFFFu), 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Read(c.file));
        const char* id = "fmt ";
        auto fmt = std::search(c.file.begin(), c.file.end(), id, id + 4);
        EXPECT_EQ(memcmp(&wave.format, &*fmt + 8, 18), 0);
        EXPECT_EQ(Bytes(wave.data, wave.data + wave.dataSize),
                  Samples(c.samples));
    }
}

TEST_F(WaveReaderTest, RefusesFilesThatAreNotPcmWavesOrClaimMoreThanTheyHold) {
    Bytes samples = Samples(16);
    Bytes fmt = Fmt(1);
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", Bytes{}},
        {"another form", Riff("AVI ", {fmt, Chunk("data", samples)})},
        {"no format", Riff("WAVE", {Chunk("data", samples)})},
        {"data before the format", Riff("WAVE", {Chunk("data", samples), fmt})},
        {"no data", Riff("WAVE", {Fmt(1, 18)})},
        {"ADPCM", Riff("WAVE", {Fmt(2, 40), Chunk("data", samples)})},
        {"float", Riff("WAVE", {Fmt(3, 18), Chunk("data", samples)})},
        {"extensible", Riff("WAVE", {Fmt(0xFFFE, 40), Chunk("data", samples)})},
        {"a chunk without its pad byte",
         Riff("WAVE",
              {Chunk("LIST", Samples(3), false), fmt, Chunk("data", samples)})},
        {"data past the form's end",
         Riff("WAVE", {fmt, Chunk("data", samples)}, 4 + fmt.size())},
        {"a format claiming 2 GB",
         Riff("WAVE",
              {Chunk("fmt ", FormatData(1, 2, 11025, 16), true, 0x7FFFFFFF),
               Chunk("data", samples)})},
        // Taken as a LONG, 0xFFFFFFFF is the -1 that mmioRead returns for
        // it: only the size guard tells this from a good read.
        {"data claiming 4 GB",
         Riff("WAVE", {fmt, Chunk("data", samples, true, 0xFFFFFFFFu)})},
        {"a file past 16 MB", SimpleWave(Bytes(16 << 20, 1))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(Read(c.file));
    }
    EXPECT_FALSE(ReadWaveFile(dir.File("missing.wav").c_str(), &wave));
}

} // namespace
