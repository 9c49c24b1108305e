// The picture header check of the GDI+ stand-in: the format and the size a
// file's header states, read before anything is decoded, and the pictures
// refused for their size whatever the rest of the file holds.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gdiplus/gdiplus_private.h"
#include "gdiplus_fixture.h"
#include "testing/gdi.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

typedef std::vector<uint8_t> Bytes;

struct Header {
    GdipPictureFormat format;
    uint32_t width, height;
};

Header Read(const Bytes& bytes) {
    Header header = {GdipPictureFormat::Unknown, 99, 99};
    header.format = GdipReadPictureHeader(bytes.data(), bytes.size(),
                                          &header.width, &header.height);
    return header;
}

// A JPEG's segments: SOI, an APP0 of `app` bytes, a frame header of the
// given marker and size, and a scan header.
Bytes Jpeg(uint8_t frame, unsigned width, unsigned height, unsigned app = 16) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, (uint8_t)(app >> 8), (uint8_t)app};
    b.resize(b.size() + app - 2, 0);
    Bytes sof = {0xFF,
                 frame,
                 0,
                 11,
                 8,
                 (uint8_t)(height >> 8),
                 (uint8_t)height,
                 (uint8_t)(width >> 8),
                 (uint8_t)width,
                 1,
                 1,
                 0x11,
                 0};
    b.insert(b.end(), sof.begin(), sof.end());
    Bytes sos = {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0};
    b.insert(b.end(), sos.begin(), sos.end());
    return b;
}

Bytes Png(uint32_t width, uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
               0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    for (uint32_t v : {width, height})
        for (int shift : {24, 16, 8, 0})
            b.push_back((uint8_t)(v >> shift));
    b.insert(b.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});
    return b;
}

Bytes Bmp(uint32_t infoSize, int32_t width, int32_t height) {
    Bytes b = {'B', 'M'};
    b.resize(14, 0);
    auto put32 = [&](uint32_t v) {
        for (int shift : {0, 8, 16, 24})
            b.push_back((uint8_t)(v >> shift));
    };
    put32(infoSize);
    if (infoSize == 12) {
        b.insert(b.end(), {(uint8_t)width, (uint8_t)(width >> 8),
                           (uint8_t)height, (uint8_t)(height >> 8)});
    } else {
        put32((uint32_t)width);
        put32((uint32_t)height);
    }
    b.resize(b.size() + 8, 0);
    return b;
}

TEST(PictureHeader, JpegSizeComesFromItsFirstFrameHeader) {
    Header h = Read(Jpeg(0xC0, 992, 320));
    EXPECT_EQ(h.format, GdipPictureFormat::Jpeg);
    EXPECT_EQ(h.width, 992u);
    EXPECT_EQ(h.height, 320u);
    // Progressive, past a long APP segment, with fill bytes before a marker.
    Bytes progressive = Jpeg(0xC2, 4000, 3000, 40000);
    h = Read(progressive);
    EXPECT_EQ(h.format, GdipPictureFormat::Jpeg);
    EXPECT_EQ(h.width, 4000u);
    EXPECT_EQ(h.height, 3000u);
    Bytes filled = Jpeg(0xC0, 7, 9);
    filled.insert(filled.begin() + 2, {0xFF, 0xFF});
    h = Read(filled);
    EXPECT_EQ(h.width, 7u);
    EXPECT_EQ(h.height, 9u);
    // DHT (C4) and DAC (CC) look like frame markers and are not.
    Bytes tables = Jpeg(0xC0, 5, 6);
    tables.insert(tables.begin() + 2, {0xFF, 0xC4, 0, 4, 0, 0});
    tables.insert(tables.begin() + 2, {0xFF, 0xCC, 0, 4, 0, 0});
    h = Read(tables);
    EXPECT_EQ(h.width, 5u);
    EXPECT_EQ(h.height, 6u);
}

TEST(PictureHeader, JpegWithoutAWholeFrameHeaderIsUnknown) {
    Bytes jpeg = Jpeg(0xC0, 992, 320);
    size_t frame = 2 + 2 + 16; // SOI, APP0 marker and its 16 bytes
    for (size_t cut : {size_t(2), size_t(3), frame, frame + 4, frame + 8})
        EXPECT_EQ(Read(Bytes(jpeg.begin(), jpeg.begin() + cut)).format,
                  GdipPictureFormat::Unknown)
            << "cut at " << cut;
    // A scan before any frame, the end marker, and a segment whose length
    // runs past the file.
    Bytes scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0};
    EXPECT_EQ(Read(scanFirst).format, GdipPictureFormat::Unknown);
    EXPECT_EQ(Read({0xFF, 0xD8, 0xFF, 0xD9}).format,
              GdipPictureFormat::Unknown);
    EXPECT_EQ(Read({0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 1, 2}).format,
              GdipPictureFormat::Unknown);
    EXPECT_EQ(Read({0xFF, 0xD8, 0xFF, 0xE1, 0, 1}).format,
              GdipPictureFormat::Unknown)
        << "a length below its own two bytes";
}

TEST(PictureHeader, PngAndBmpSizes) {
    Header h = Read(Png(640, 480));
    EXPECT_EQ(h.format, GdipPictureFormat::Png);
    EXPECT_EQ(h.width, 640u);
    EXPECT_EQ(h.height, 480u);

    h = Read(Bmp(40, 33, -17)); // top-down rows
    EXPECT_EQ(h.format, GdipPictureFormat::Bmp);
    EXPECT_EQ(h.width, 33u);
    EXPECT_EQ(h.height, 17u);
    h = Read(Bmp(12, 300, 200)); // the OS/2 header
    EXPECT_EQ(h.width, 300u);
    EXPECT_EQ(h.height, 200u);
    EXPECT_EQ(Read(Bmp(40, 0, 5)).format, GdipPictureFormat::Unknown);
    EXPECT_EQ(Read(Bmp(40, -4, 5)).format, GdipPictureFormat::Unknown);
    EXPECT_EQ(Read(Bmp(40, 4, INT32_MIN)).format, GdipPictureFormat::Unknown);
}

TEST(PictureHeader, OtherBytesAreUnknown) {
    for (const Bytes& bytes :
         {Bytes{}, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'},
          Bytes{0xFF, 0xD8}, Bytes{'G', 'I', 'F', '8', '7', 'a', 2, 0, 1, 0},
          Bytes{'B', 'M', 0, 0}, Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}}) {
        Header h = Read(bytes);
        EXPECT_EQ(h.format, GdipPictureFormat::Unknown);
        EXPECT_EQ(h.width, 0u);
        EXPECT_EQ(h.height, 0u);
    }
}

TEST(PictureHeader, SizesAllowedUpTo8192By8192) {
    EXPECT_TRUE(GdipPictureSizeAllowed(1, 1));
    EXPECT_TRUE(GdipPictureSizeAllowed(4000, 4000));
    EXPECT_TRUE(GdipPictureSizeAllowed(8192, 8192));
    EXPECT_TRUE(GdipPictureSizeAllowed(32768, 2048));
    EXPECT_FALSE(GdipPictureSizeAllowed(8192, 8193));
    EXPECT_FALSE(GdipPictureSizeAllowed(32769, 1));
    EXPECT_FALSE(GdipPictureSizeAllowed(0, 10));
    EXPECT_FALSE(GdipPictureSizeAllowed(65000, 65000));
    EXPECT_FALSE(GdipPictureSizeAllowed(0xFFFFFFFF, 0xFFFFFFFF));
}

// Picture files opened through the stand-in, written from bytes.
class PictureSizeRefusal : public GdiplusTest {
  protected:
    std::string Write(const char* name, const Bytes& bytes) {
        return WriteBytes(name, std::string(bytes.begin(), bytes.end()));
    }
};

// A JPEG whose frame header claims 65000 by 65000 pixels would take 16 GB
// to decode, and for a cut file the decoder fills all of it: it is refused
// as too large, at once.
TEST_F(PictureSizeRefusal, AHeaderClaimingAnEnormousPictureIsRefusedAtOnce) {
    ASSERT_TRUE(dir.WriteJpeg("real.jpg", 64, 32, 0x3060C0));
    std::ifstream in(dir.path + "/real.jpg", std::ios::binary);
    Bytes jpeg((std::istreambuf_iterator<char>(in)),
               std::istreambuf_iterator<char>());
    Header real = Read(jpeg);
    ASSERT_EQ(real.format, GdipPictureFormat::Jpeg);
    ASSERT_EQ(real.width, 64u);
    // Patch the frame header's height and width to 65000.
    for (size_t i = 2; i + 9 < jpeg.size();) {
        if (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2) {
            jpeg[i + 5] = jpeg[i + 7] = 0xFD;
            jpeg[i + 6] = jpeg[i + 8] = 0xE8;
            break;
        }
        i += 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
    }
    ASSERT_EQ(Read(jpeg).width, 65000u);
    std::string path = Write("claims.jpg", jpeg);

    // Decoding would fail (UnknownImageFormat) or make a cut picture: the
    // size is what refuses it.
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
    EXPECT_EQ(Open(path, &bitmap), OutOfMemory);
    EXPECT_EQ(bitmap, nullptr);
}

TEST_F(PictureSizeRefusal, PngAndBmpDecodeAndGifIsRefused) {
    SDL_Surface* picture =
        SDL_CreateRGBSurfaceWithFormat(0, 21, 13, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(picture, nullptr);
    SDL_FillRect(picture, nullptr, 0xFF3060C0);
    std::string png = dir.File("p.png"), bmp = dir.File("p.bmp");
    ASSERT_EQ(IMG_SavePNG(picture, png.c_str()), 0);
    ASSERT_EQ(SDL_SaveBMP(picture, bmp.c_str()), 0);
    SDL_FreeSurface(picture);
    for (const std::string& path : {png, bmp}) {
        GpBitmap* bitmap = nullptr;
        ASSERT_EQ(Open(path, &bitmap), Ok) << path;
        UINT width = 0, height = 0;
        EXPECT_EQ(GdipGetImageWidth(bitmap, &width), Ok);
        EXPECT_EQ(GdipGetImageHeight(bitmap, &height), Ok);
        EXPECT_EQ(width, 21u) << path;
        EXPECT_EQ(height, 13u) << path;
        GdipDisposeImage(bitmap);
    }
    // A good 2 by 1 GIF: its header can't bound what decoding it takes (the
    // reader goes on to any later image), so it is not decoded at all.
    std::string gif =
        Write("p.gif",
              {'G', 'I',  'F',  '8',  '9',  'a',  2,    0,    1,    0, 0x80, 0,
               0,   0xFF, 0xFF, 0xFF, 0x10, 0x60, 0x20, 0x2C, 0,    0, 0,    0,
               2,   0,    1,    0,    0,    2,    2,    0x44, 0x01, 0, 0x3B});
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
    EXPECT_EQ(Open(gif, &bitmap), UnknownImageFormat);
    EXPECT_EQ(bitmap, nullptr);
}

// Only the decoder of the format the header names runs: behind a JPEG's
// first segments, an SVG (whose size nothing checks) is not drawn.
TEST_F(PictureSizeRefusal, AJpegHeaderLetsNoOtherFormatThrough) {
    // A frame header of 257 by 257 pixels with no zero byte in it (SDL_image
    // looks for "<svg" up to the first zero byte), then an SVG, no scan.
    Bytes bytes = {0xFF, 0xD8, 0xFF, 0xC0, 0x01, 0x01,
                   8,    0x01, 0x01, 0x01, 0x01};
    bytes.resize(4 + 0x0101, 0x01);
    std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='300' "
                      "height='200'><rect width='300' height='200'/></svg>";
    bytes.insert(bytes.end(), svg.begin(), svg.end());
    Header header = Read(bytes);
    ASSERT_EQ(header.format, GdipPictureFormat::Jpeg);
    ASSERT_EQ(header.width, 257u);
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
    EXPECT_EQ(Open(Write("svg.jpg", bytes), &bitmap), UnknownImageFormat)
        << "decoded as something else than a JPEG";
    EXPECT_EQ(bitmap, nullptr);
    if (bitmap && bitmap != reinterpret_cast<GpBitmap*>(1))
        GdipDisposeImage(bitmap);
}

TEST_F(PictureSizeRefusal, TooManyPixelsNoPixelsAndADirectoryFail) {
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(Open(Write("wide.png", Png(100000, 100000)), &bitmap),
              OutOfMemory);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(Open(Write("empty.jpg", Jpeg(0xC0, 0, 0)), &bitmap),
              UnknownImageFormat)
        << "a picture of no pixels is no picture";
    EXPECT_EQ(Open(dir.path, &bitmap), Win32Error) << "a directory";
    EXPECT_EQ(bitmap, nullptr);
}

} // namespace
