// The GDI+ stand-in: the format and size a file's header states, and the
// files refused before decoding (finger.jpg decoded is the display's test).

#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <tuple>
#include <vector>

#include "gdiplus/gdiplus_private.h"
#include "temp_dir.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

typedef std::vector<uint8_t> Bytes;

// A JPEG's segments: SOI, an APP0 of `app` bytes, a frame header of the
// given marker and size, and a scan header.
Bytes Jpeg(uint8_t frame, unsigned width, unsigned height, unsigned app = 16) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, (uint8_t)(app >> 8), (uint8_t)app};
    b.resize(b.size() + app - 2, 0);
    uint8_t h1 = height >> 8, h0 = height & 0xFF, w1 = width >> 8,
            w0 = width & 0xFF;
    b.insert(b.end(), {0xFF, frame, 0, 11, 8, h1, h0, w1, w0, 1, 1, 0x11, 0});
    b.insert(b.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0});
    return b;
}

Bytes Png(uint32_t width, uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
               0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    for (uint32_t v : {width, height})
        for (int shift : {24, 16, 8, 0})
            b.push_back((uint8_t)(v >> shift));
    b.insert(b.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0}); // and IEND:
    b.insert(b.end(), {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0});
    return b;
}

// The format and size read, or Unknown and 0 by 0: cut in the frame header,
// a scan before any frame; a PNG cut anywhere, or with a chunk claiming more
// than the file holds (that one hung libpng).
TEST(PictureHeaderTest, FormatAndSizeComeFromTheHeaderWithinLimits) {
    Bytes baseline = Jpeg(0xC0, 992, 320), filled = Jpeg(0xC0, 7, 9),
          tables = Jpeg(0xC0, 5, 6), scanFirst = tables, png = Png(5, 6),
          longChunk = png;
    filled.insert(filled.begin() + 2, {0xFF, 0xFF});
    tables.insert(tables.begin() + 2, // DHT and DAC look like frames
                  {0xFF, 0xC4, 0, 4, 0, 0, 0xFF, 0xCC, 0, 4, 0, 0});
    scanFirst.insert(scanFirst.begin() + 2,
                     {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0});
    longChunk.insert(longChunk.end() - 12,
                     {0, 0, 0x49, 4, 'g', 'A', 'M', 'A', 0, 0, 0, 0});
    const auto unknown = GdipPictureFormat::Unknown;
    const std::tuple<Bytes, GdipPictureFormat, uint32_t, uint32_t> cases[] = {
        {baseline, GdipPictureFormat::Jpeg, 992, 320},
        {Jpeg(0xC2, 4000, 3000, 40000), GdipPictureFormat::Jpeg, 4000, 3000},
        {filled, GdipPictureFormat::Jpeg, 7, 9},
        {tables, GdipPictureFormat::Jpeg, 5, 6},
        {Png(640, 480), GdipPictureFormat::Png, 640, 480},
        {Bytes(baseline.begin(), baseline.begin() + 26), unknown, 0, 0},
        {scanFirst, unknown, 0, 0},
        {Bytes(png.begin(), png.end() - 1), unknown, 0, 0},
        {longChunk, unknown, 0, 0}};
    for (const auto& [bytes, format, width, height] : cases) {
        uint32_t w = 1, h = 1;
        EXPECT_EQ(GdipReadPictureHeader(bytes.data(), bytes.size(), &w, &h),
                  format)
            << bytes.size() << " bytes";
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
    }
    // Pictures of up to 8192 by 8192 pixels, 32768 on a side, are decoded
    // (larger ones are refused: the files below).
    EXPECT_TRUE(GdipPictureSizeAllowed(8192, 8192));
    EXPECT_TRUE(GdipPictureSizeAllowed(32768, 2048));
    EXPECT_TRUE(GdipPictureSizeAllowed(2048, 32768));
}

// Each file refused with GDI+'s status, nothing decoded: what is no picture
// and what is too large to hold.
TEST(GdiplusTest, FilesThatAreNoPictureOrTooLargeAreRefused) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
    std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='300' "
                      "height='200'><rect width='300' height='200'/></svg>";
    // A JPEG's frame header with no zero byte (SDL_image's SVG reader looks
    // up to the first), then an SVG: no other format's decoder may run.
    Bytes svgBehindJpeg = {0xFF, 0xD8, 0xFF, 0xC0, 1, 1, 8, 1, 1, 1, 1};
    svgBehindJpeg.resize(4 + 0x0101, 1);
    svgBehindJpeg.insert(svgBehindJpeg.end(), svg.begin(), svg.end());
    struct Case {
        const char* name;
        Bytes bytes;
        GpStatus status;
    } cases[] = {{"empty.jpg", {}, UnknownImageFormat},
                 {"none.jpg", Jpeg(0xC0, 0, 0), UnknownImageFormat},
                 {"svg.jpg", svgBehindJpeg, UnknownImageFormat},
                 {"wide.jpg", Jpeg(0xC0, 32769, 8), OutOfMemory},
                 {"many.png", Png(8193, 8193), OutOfMemory}};
    for (const Case& c : cases) {
        std::string path =
            dir.WriteBytes(c.name, std::string(c.bytes.begin(), c.bytes.end()));
        std::u16string name(path.begin(), path.end());
        GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
        EXPECT_EQ(GdipCreateBitmapFromFile(name.c_str(), &bitmap), c.status)
            << c.name;
        EXPECT_EQ(bitmap, nullptr) << c.name;
    }
    GdiplusShutdown(token);
}

} // namespace
