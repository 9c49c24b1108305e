// The flat GDI+ image API: decoding files into bitmaps and GDI bitmaps.

#include <gtest/gtest.h>

#include "gdi/dc.h"
#include "gdiplus_fixture.h"
#include "testing/gdi.h"

#include <windows.h>
#include <gdiplus.h>

#include <fstream>
#include <string>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

TEST_F(GdiplusTest, DecodesAJpegWithItsSizeIntoAGdiBitmap) {
    std::string path = WriteJpeg("finger.jpg", 40, 23);
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(Open(path, &bitmap), Ok);
    ASSERT_NE(bitmap, nullptr);
    UINT width = 0, height = 0;
    EXPECT_EQ(GdipGetImageWidth(bitmap, &width), Ok);
    EXPECT_EQ(GdipGetImageHeight(bitmap, &height), Ok);
    EXPECT_EQ(width, 40u);
    EXPECT_EQ(height, 23u);

    HBITMAP gdiBitmap = nullptr;
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(bitmap, &gdiBitmap, 0xFF000000), Ok);
    EXPECT_EQ(GdipDisposeImage(bitmap), Ok);
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(SelectObject(memory, gdiBitmap), nullptr);
    const PixelMap* map = GdiGetPixelMap(memory);
    ASSERT_EQ(map->width, 40);
    ASSERT_EQ(map->height, 23);
    // Away from the edge JPEG keeps the colours close.
    uint32_t white = map->pixels[10 * map->pitch + 5];
    uint32_t red = map->pixels[10 * map->pitch + 35];
    EXPECT_GE(white >> 16 & 0xFF, 0xF0u);
    EXPECT_GE(white & 0xFF, 0xF0u);
    EXPECT_GE(red >> 16 & 0xFF, 0xE0u);
    EXPECT_LE(red & 0xFF, 0x20u);
    EXPECT_EQ(white >> 24, 0u); // XRGB
    DeleteDC(memory);
    DeleteObject(gdiBitmap);
}

TEST_F(GdiplusTest, MissingEmptyAndTextFilesFail) {
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(&token);
    EXPECT_EQ(Open(dir.path + "/nothing.jpg", &bitmap), FileNotFound);
    EXPECT_EQ(bitmap, nullptr);
    GpStatus empty = Open(WriteBytes("empty.jpg", ""), &bitmap);
    EXPECT_NE(empty, Ok);
    EXPECT_EQ(bitmap, nullptr);
    GpStatus text =
        Open(WriteBytes("text.jpg", "This is not a picture.\n"), &bitmap);
    EXPECT_NE(text, Ok);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_NE(Open(dir.path, &bitmap), Ok); // a directory
    EXPECT_EQ(GdipCreateBitmapFromFile(nullptr, &bitmap), InvalidParameter);
}

TEST_F(GdiplusTest, ATruncatedJpegStillDecodesAtItsFullSize) {
    // Noise, so that the cut falls in the picture data, not its headers.
    std::string whole = Path("whole.jpg");
    SDL_Surface* noise = SDL_CreateRGBSurfaceWithFormat(
        0, 128, 96, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(noise, nullptr);
    uint32_t seed = 12345;
    auto* pixels = static_cast<uint32_t*>(noise->pixels);
    for (int i = 0; i < 128 * 96; ++i) {
        seed = seed * 1103515245 + 12345;
        pixels[i] = 0xFF000000 | seed >> 8;
    }
    ASSERT_EQ(IMG_SaveJPG(noise, whole.c_str(), 90), 0);
    SDL_FreeSurface(noise);
    std::ifstream in(whole, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)),
                      std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 4000u);
    std::string cut = WriteBytes("cut.jpg", bytes.substr(0, bytes.size() / 2));
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(Open(cut, &bitmap), Ok);
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    EXPECT_EQ(width, 128u);
    EXPECT_EQ(height, 96u);
    GdipDisposeImage(bitmap);
}

TEST_F(GdiplusTest, TransparencyIsCompositedOverTheBackground) {
    std::string path = Path("alpha.png");
    SDL_Surface* picture =
        SDL_CreateRGBSurfaceWithFormat(0, 3, 1, 32, SDL_PIXELFORMAT_ARGB8888);
    auto* pixels = static_cast<uint32_t*>(picture->pixels);
    pixels[0] = 0x00000000; // transparent
    pixels[1] = 0xFF102030; // opaque
    pixels[2] = 0x80FF0000; // half red
    ASSERT_EQ(IMG_SavePNG(picture, path.c_str()), 0);
    SDL_FreeSurface(picture);

    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(Open(path, &bitmap), Ok);
    HBITMAP gdiBitmap = nullptr;
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(bitmap, &gdiBitmap, 0xFFFFFFFF), Ok);
    GdipDisposeImage(bitmap);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, gdiBitmap);
    const PixelMap* map = GdiGetPixelMap(memory);
    EXPECT_EQ(map->pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(map->pixels[1], 0x00102030u);
    EXPECT_EQ(map->pixels[2], 0x00FF7F7Fu);
    DeleteDC(memory);
    DeleteObject(gdiBitmap);
}

TEST_F(GdiplusTest, HandlesAreCheckedAndStartUpIsNeeded) {
    int junk = 0;
    GpImage* stranger = reinterpret_cast<GpImage*>(&junk);
    UINT size = 0;
    HBITMAP gdiBitmap = nullptr;
    EXPECT_EQ(GdipGetImageWidth(stranger, &size), InvalidParameter);
    EXPECT_EQ(GdipGetImageHeight(nullptr, &size), InvalidParameter);
    EXPECT_EQ(GdipDisposeImage(stranger), InvalidParameter);
    EXPECT_EQ(GdipCreateHBITMAPFromBitmap(static_cast<GpBitmap*>(stranger),
                                          &gdiBitmap, 0),
              InvalidParameter);

    GpBitmap* bitmap = nullptr;
    std::string path = WriteJpeg("a.jpg", 8, 8);
    ASSERT_EQ(Open(path, &bitmap), Ok);
    EXPECT_EQ(GdipDisposeImage(bitmap), Ok);
    EXPECT_EQ(GdipDisposeImage(bitmap), InvalidParameter);

    // Start-ups nest; decoding needs one to be running.
    ULONG_PTR second = 0;
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&second, &input, nullptr), Ok);
    EXPECT_NE(second, token);
    GdiplusShutdown(second);
    ASSERT_EQ(Open(path, &bitmap), Ok);
    GdipDisposeImage(bitmap);
    GdiplusShutdown(token);
    EXPECT_EQ(Open(path, &bitmap), GdiplusNotInitialized);
    input.GdiplusVersion = 9;
    EXPECT_EQ(GdiplusStartup(&second, &input, nullptr),
              UnsupportedGdiplusVersion);
    input.GdiplusVersion = 1;
    EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
    GdiplusStartupOutput output;
    ASSERT_EQ(GdiplusStartup(&token, &input, &output), Ok); // for TearDown
}

} // namespace
