// The mmio stand-in: opening, chunk descent and ascent, bounded reads, over
// RIFF files written into a temporary directory.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include "audio_files.h"
#include "testing/audio.h"

using namespace audio_files;

namespace {

const FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');

class MmioTest : public ::testing::Test {
  protected:
    void SetUp() override { TestResetAudio(); }
    void TearDown() override {
        if (file) mmioClose(file, 0);
        EXPECT_EQ(TestMmioOpenHandles(), 0);
        TestResetAudio();
    }

    HMMIO Open(const Bytes& bytes) {
        std::string path = dir.File("test.riff");
        EXPECT_TRUE(WriteBytes(path, bytes));
        file = mmioOpenA(&path[0], nullptr, MMIO_ALLOCBUF | MMIO_READ);
        return file;
    }
    LONG Position() { return mmioSeek(file, 0, SEEK_CUR); }

    // Descends into the WAVE form, the way the reader starts.
    MMCKINFO DescendForm() {
        MMCKINFO form = {};
        form.fccType = kWave;
        EXPECT_EQ(mmioDescend(file, &form, nullptr, MMIO_FINDRIFF), 0u);
        return form;
    }

    TempDir dir;
    HMMIO file = nullptr;
};

// FIFOs, devices, links to themselves and files of gigabytes: in
// data_file_test.cpp, where a FIFO that waits fails the test, not hangs it.
TEST_F(MmioTest, OpenFailsOnMissingFilesAndDirectories) {
    std::string missing = dir.File("missing.wav");
    EXPECT_EQ(mmioOpenA(&missing[0], nullptr, MMIO_ALLOCBUF | MMIO_READ),
              nullptr);
    std::string directory = dir.path;
    EXPECT_EQ(mmioOpenA(&directory[0], nullptr, MMIO_ALLOCBUF | MMIO_READ),
              nullptr);
    EXPECT_EQ(mmioOpenA(nullptr, nullptr, MMIO_READ), nullptr);
    EXPECT_EQ(TestMmioOpenCalls(), 3);
    EXPECT_EQ(TestMmioOpenHandles(), 0);
}

TEST_F(MmioTest, OpenCountsHandlesUntilClosed) {
    ASSERT_NE(Open(SimpleWave(Samples(8))), nullptr);
    EXPECT_EQ(TestMmioOpenHandles(), 1);
    EXPECT_EQ(mmioClose(file, 0), 0u);
    file = nullptr;
    EXPECT_EQ(TestMmioOpenHandles(), 0);
    EXPECT_EQ(mmioClose(nullptr, 0), UINT(MMSYSERR_INVALHANDLE));
}

TEST_F(MmioTest, FindRiffFillsTheRecordAndStopsAfterTheFormType) {
    Bytes wave = SimpleWave(Samples(8));
    ASSERT_NE(Open(wave), nullptr);
    MMCKINFO form = DescendForm();
    EXPECT_EQ(form.ckid, FOURCC_RIFF);
    EXPECT_EQ(form.cksize, wave.size() - 8);
    EXPECT_EQ(form.fccType, kWave);
    EXPECT_EQ(form.dwDataOffset, 8u);
    EXPECT_EQ(form.dwFlags, 0u);
    EXPECT_EQ(Position(), 12);
}

TEST_F(MmioTest, FindRiffPassesOverAFormOfAnotherType) {
    Bytes avi = Riff("AVI ", {Chunk("data", Samples(5))});
    ASSERT_NE(Open(Join({avi, SimpleWave(Samples(8))})), nullptr);
    MMCKINFO form = DescendForm();
    EXPECT_EQ(form.dwDataOffset, avi.size() + 8);
    EXPECT_EQ(Position(), LONG(avi.size() + 12));
}

TEST_F(MmioTest, FindRiffFailsWithoutAMatchingForm) {
    ASSERT_NE(Open(Riff("AVI ", {Chunk("fmt ", Samples(16))})), nullptr);
    MMCKINFO form = {};
    form.fccType = kWave;
    EXPECT_EQ(mmioDescend(file, &form, nullptr, MMIO_FINDRIFF),
              UINT(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MmioTest, FindChunkSkipsOddChunksWithTheirPadByte) {
    Bytes list = Chunk("LIST", Samples(7)); // 8 + 7 + pad
    ASSERT_NE(Open(Riff("WAVE", {list, Chunk("fact", Samples(3)),
                                 Chunk("data", Samples(6))})),
              nullptr);
    MMCKINFO form = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = kData;
    ASSERT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(chunk.ckid, kData);
    EXPECT_EQ(chunk.cksize, 6u);
    EXPECT_EQ(chunk.dwDataOffset, 12u + 16u + 12u + 8u);
    EXPECT_EQ(Position(), LONG(chunk.dwDataOffset));
    char first = 0;
    EXPECT_EQ(mmioRead(file, &first, 1), 1);
    EXPECT_EQ(first, 1);
}

TEST_F(MmioTest, FindChunkSearchesOnlyFromTheCurrentPosition) {
    ASSERT_NE(Open(Riff("WAVE", {Chunk("data", Samples(4)),
                                 Chunk("fmt ", Samples(16))})),
              nullptr);
    MMCKINFO form = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = kFmt;
    ASSERT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK), 0u);
    ASSERT_EQ(mmioAscend(file, &chunk, 0), 0u);
    chunk.ckid = kData;
    EXPECT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK),
              UINT(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MmioTest, FindChunkStaysInsideItsParent) {
    // The form claims only its "fmt " chunk; a "data" chunk follows it.
    Bytes fmt = Chunk("fmt ", FormatData(1, 2, 11025, 16));
    Bytes form = RiffClaiming("WAVE", uint32_t(4 + fmt.size()), {fmt});
    ASSERT_NE(Open(Join({form, Chunk("data", Samples(4))})), nullptr);
    MMCKINFO parent = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = kData;
    EXPECT_EQ(mmioDescend(file, &chunk, &parent, MMIO_FINDCHUNK),
              UINT(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MmioTest, AParentClaimingMoreThanTheFileIsSearchedToTheFileEnd) {
    ASSERT_NE(Open(RiffClaiming(
                  "WAVE", 0xFFFFFFF0u,
                  {Chunk("LIST", Samples(2)), Chunk("data", Samples(4))})),
              nullptr);
    MMCKINFO form = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = kData;
    EXPECT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK), 0u);
    chunk.ckid = kFmt;
    EXPECT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK),
              UINT(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MmioTest, AChunkHeaderCutByTheFileEndIsNotFound) {
    Bytes wave = RiffClaiming("WAVE", 0xFFFF, {Chunk("LIST", Samples(2))});
    wave.insert(wave.end(), {'d', 'a', 't', 'a', 4, 0}); // 6 of 8 bytes
    ASSERT_NE(Open(wave), nullptr);
    MMCKINFO form = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = kData;
    EXPECT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK),
              UINT(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MmioTest, AscendMovesPastThePadByte) {
    ASSERT_NE(Open(Riff("WAVE", {Chunk("odd ", Samples(5)),
                                 Chunk("data", Samples(2))})),
              nullptr);
    MMCKINFO form = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = mmioFOURCC('o', 'd', 'd', ' ');
    ASSERT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK), 0u);
    char two[2];
    EXPECT_EQ(mmioRead(file, two, 2), 2);
    EXPECT_EQ(mmioAscend(file, &chunk, 0), 0u);
    EXPECT_EQ(Position(), 12 + 8 + 6);
}

TEST_F(MmioTest, ReadsStopAtTheFileEndWhateverAChunkClaims) {
    Bytes samples = Samples(10);
    Bytes wave = Riff("WAVE", {ChunkClaiming("data", 0x7FFFFFF0u, samples)});
    ASSERT_NE(Open(wave), nullptr);
    MMCKINFO form = DescendForm();
    MMCKINFO chunk = {};
    chunk.ckid = kData;
    ASSERT_EQ(mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(chunk.cksize, 0x7FFFFFF0u);

    std::vector<char> out(64, 0);
    EXPECT_EQ(mmioRead(file, out.data(), 64), 10);
    EXPECT_EQ(memcmp(out.data(), samples.data(), 10), 0);
    EXPECT_EQ(mmioRead(file, out.data(), 64), 0);
    EXPECT_EQ(mmioRead(file, out.data(), -1), -1);

    // Ascending past the end leaves nothing to read and nothing to find.
    EXPECT_EQ(mmioAscend(file, &chunk, 0), 0u);
    EXPECT_EQ(mmioRead(file, out.data(), 64), 0);
    MMCKINFO next = {};
    next.ckid = kFmt;
    EXPECT_EQ(mmioDescend(file, &next, &form, MMIO_FINDCHUNK),
              UINT(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MmioTest, SeekReportsPositionsAndRefusesNegativeOnes) {
    Bytes wave = SimpleWave(Samples(6));
    ASSERT_NE(Open(wave), nullptr);
    EXPECT_EQ(mmioSeek(file, 0, SEEK_END), LONG(wave.size()));
    EXPECT_EQ(mmioSeek(file, 4, SEEK_SET), 4);
    EXPECT_EQ(mmioSeek(file, 2, SEEK_CUR), 6);
    EXPECT_EQ(mmioSeek(file, -7, SEEK_CUR), -1);
    EXPECT_EQ(Position(), 6);
    char byte = 0;
    EXPECT_EQ(mmioRead(file, &byte, 1), 1);
    EXPECT_EQ(byte, wave[6]);
}

} // namespace
