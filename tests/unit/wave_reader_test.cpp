// ReadWaveFile over WAV files written into a temporary directory: the
// chunk layouts it accepts and refuses, and files that are cut short or lie
// about their sizes (never a crash, a leak or an open file left behind).
#include <gtest/gtest.h>

#include "audio/wave_reader.h"
#include "audio_files.h"
#include "testing/audio.h"

using namespace audio_files;

namespace {

class WaveReaderTest : public ::testing::Test {
  protected:
    void SetUp() override { TestResetAudio(); }
    void TearDown() override {
        free(wave.data);
        TestResetAudio();
    }

    // Reads `bytes` from a file; afterwards no mmio handle may be open.
    bool Read(const Bytes& bytes) {
        free(wave.data);
        wave = WaveData{};
        std::string path = dir.File("sound.wav");
        EXPECT_TRUE(WriteBytes(path, bytes));
        bool ok = ReadWaveFile(path.c_str(), &wave);
        EXPECT_EQ(TestMmioOpenHandles(), 0);
        if (!ok) {
            EXPECT_EQ(wave.data, nullptr);
            wave.data = nullptr;
        }
        return ok;
    }

    Bytes Fmt(uint16_t tag, uint32_t size = 16) {
        return Chunk("fmt ", FormatData(tag, 2, 11025, 16, size));
    }

    TempDir dir;
    WaveData wave = {};
};

TEST_F(WaveReaderTest, ReadsTheFormatTheSizeAndTheSamples) {
    Bytes samples = Samples(400);
    ASSERT_TRUE(Read(SimpleWave(samples)));
    EXPECT_EQ(wave.format.wFormatTag, 1);
    EXPECT_EQ(wave.format.nChannels, 2);
    EXPECT_EQ(wave.format.nSamplesPerSec, 11025u);
    EXPECT_EQ(wave.format.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(wave.format.nBlockAlign, 4);
    EXPECT_EQ(wave.format.wBitsPerSample, 16);
    ASSERT_EQ(wave.dataSize, 400u);
    EXPECT_EQ(Bytes(wave.data, wave.data + 400), samples);
}

TEST_F(WaveReaderTest, AMissingFileFails) {
    EXPECT_FALSE(ReadWaveFile(dir.File("none.wav").c_str(), &wave));
    EXPECT_EQ(TestMmioOpenHandles(), 0);
}

TEST_F(WaveReaderTest, FormatChunksOf16And18And40BytesAreAccepted) {
    Bytes samples = Samples(12);
    for (uint32_t size : {16u, 18u, 40u}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(Read(Riff("WAVE", {Fmt(1, size), Chunk("data", samples)})));
        EXPECT_EQ(wave.dataSize, 12u);
        EXPECT_EQ(Bytes(wave.data, wave.data + 12), samples);
        if (size > 16) {
            EXPECT_EQ(wave.format.cbSize, size - 18);
        }
    }
    // With 16 bytes, cbSize takes the two bytes after the chunk: "da".
    ASSERT_TRUE(Read(SimpleWave(samples)));
    EXPECT_EQ(wave.format.cbSize, 'd' | 'a' << 8);
}

TEST_F(WaveReaderTest, OtherChunksBeforeTheFormatArePassedOver) {
    Bytes samples = Samples(8);
    ASSERT_TRUE(Read(Riff(
        "WAVE", {Chunk("LIST", Samples(9)), Chunk("fact", Samples(4)), Fmt(1),
                 Chunk("junk", Samples(1)), Chunk("data", samples)})));
    EXPECT_EQ(Bytes(wave.data, wave.data + 8), samples);
}

TEST_F(WaveReaderTest, OnlyPcmIsAccepted) {
    for (uint16_t tag : {uint16_t(2), uint16_t(3), uint16_t(0xFFFE)}) {
        SCOPED_TRACE(tag);
        EXPECT_FALSE(
            Read(Riff("WAVE", {Fmt(tag, 40), Chunk("data", Samples(8))})));
    }
}

TEST_F(WaveReaderTest, ADataChunkBeforeTheFormatIsNotFound) {
    EXPECT_FALSE(Read(Riff("WAVE", {Chunk("data", Samples(8)), Fmt(1)})));
}

TEST_F(WaveReaderTest, FilesWithoutAFormatOrDataChunkFail) {
    EXPECT_FALSE(Read(Riff("WAVE", {Chunk("data", Samples(8))})));
    EXPECT_FALSE(Read(Riff("WAVE", {Fmt(1, 18)})));
    EXPECT_FALSE(Read(Riff("WAVE", {})));
    EXPECT_FALSE(Read(Bytes{}));
    EXPECT_FALSE(Read(Bytes{'R', 'I', 'F', 'F'}));
}

TEST_F(WaveReaderTest, AnotherFormTypeIsRefused) {
    EXPECT_FALSE(Read(Riff("AVI ", {Fmt(1), Chunk("data", Samples(8))})));
}

TEST_F(WaveReaderTest, EightBitMonoAtAnyRateReadsWithItsOwnValues) {
    ASSERT_TRUE(Read(SimpleWave(Samples(7), 1, 22050, 8)));
    EXPECT_EQ(wave.format.nChannels, 1);
    EXPECT_EQ(wave.format.nSamplesPerSec, 22050u);
    EXPECT_EQ(wave.format.wBitsPerSample, 8);
    EXPECT_EQ(wave.format.nBlockAlign, 1);
    EXPECT_EQ(wave.dataSize, 7u);
}

TEST_F(WaveReaderTest, ADataChunkOfSizeZeroReads) {
    ASSERT_TRUE(Read(SimpleWave(Bytes{})));
    EXPECT_EQ(wave.dataSize, 0u);
}

TEST_F(WaveReaderTest, OddChunksKeepTheirPadBytes) {
    // An odd "fmt " chunk (19 bytes) and an odd final data chunk.
    Bytes samples = Samples(5);
    ASSERT_TRUE(Read(Riff("WAVE", {Fmt(1, 19), Chunk("data", samples)})));
    EXPECT_EQ(Bytes(wave.data, wave.data + 5), samples);
    // A writer that forgot the pad byte shifts every chunk after it.
    EXPECT_FALSE(Read(Riff("WAVE", {Chunk("LIST", Samples(3), false), Fmt(1),
                                    Chunk("data", samples)})));
    // The pad byte of the last chunk may be missing.
    ASSERT_TRUE(Read(Riff("WAVE", {Fmt(1), Chunk("data", samples, false)})));
    EXPECT_EQ(wave.dataSize, 5u);
}

TEST_F(WaveReaderTest, AFileCutShortAtAnyByteFailsCleanly) {
    Bytes full = Riff("WAVE", {Chunk("LIST", Samples(3)), Fmt(1, 18),
                               Chunk("data", Samples(64))});
    for (size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(Read(Bytes(full.begin(), full.begin() + long(length))));
    }
    EXPECT_TRUE(Read(full));
}

TEST_F(WaveReaderTest, SizesClaimingMoreThanTheFileFailWithoutAHugeBlock) {
    Bytes samples = Samples(16);
    // A claim of nearly 4 GB would abort a sanitizer build if it were
    // allocated; one byte too many must fail as well.
    EXPECT_FALSE(Read(
        Riff("WAVE", {Fmt(1), ChunkClaiming("data", 0xFFFFFFF0u, samples)})));
    EXPECT_FALSE(
        Read(Riff("WAVE", {Fmt(1), ChunkClaiming("data", 17, samples)})));
    EXPECT_FALSE(Read(Riff("WAVE", {ChunkClaiming("fmt ", 0x7FFFFFFFu,
                                                  FormatData(1, 2, 11025, 16)),
                                    Chunk("data", samples)})));
    // A form claiming more than the file is read to the file's end.
    ASSERT_TRUE(Read(
        RiffClaiming("WAVE", 0xFFFFFFFFu, {Fmt(1), Chunk("data", samples)})));
    EXPECT_EQ(wave.dataSize, 16u);
}

} // namespace
