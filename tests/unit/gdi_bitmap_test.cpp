// GDI bitmaps, memory device contexts, StretchBlt, brushes and FillRect.

#include <gtest/gtest.h>

#include "gdi/dc.h"
#include "testing/gdi.h"

#include <windows.h>

#include <vector>

namespace {

struct Pixels {
    int width, height;
    std::vector<uint32_t> data;
    PixelMap map;
    Pixels(int w, int h, uint32_t fill)
        : width(w), height(h), data(w * h, fill) {
        map.pixels = data.data();
        map.width = w;
        map.height = h;
        map.pitch = w;
    }
    uint32_t At(int x, int y) const { return data[(size_t)y * width + x]; }
};

// A picture whose every pixel is different.
std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> pixels((size_t)width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[(size_t)y * width + x] = (uint32_t)(y * 1000 + x + 1);
    return pixels;
}

class GdiBitmapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        objectsBefore = TestGdiLiveObjects();
        dcsBefore = TestGdiLiveDCs();
    }
    void TearDown() override {
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
        EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
    }
    int objectsBefore = 0;
    int dcsBefore = 0;
};

TEST_F(GdiBitmapTest, FillRectPaintsTheBrushColourClippedToTheTarget) {
    Pixels target(10, 8, 0x00111111);
    HDC dc = GdiCreatePixelDC(target.map);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    RECT inside = {2, 1, 5, 3};
    EXPECT_NE(FillRect(dc, &inside, brush), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            bool in = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(target.At(x, y), in ? 0x00FF0000u : 0x00111111u)
                << x << "," << y;
        }
    RECT beyond = {-50, 6, 500, 500};
    EXPECT_NE(FillRect(dc, &beyond, brush), 0);
    EXPECT_EQ(target.At(0, 7), 0x00FF0000u);
    EXPECT_EQ(target.At(9, 6), 0x00FF0000u);
    EXPECT_EQ(target.At(9, 5), 0x00111111u);
    // A system colour given as COLOR_WINDOW + 1 is a brush too.
    RECT corner = {0, 0, 1, 1};
    EXPECT_NE(FillRect(dc, &corner, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
              0);
    EXPECT_EQ(target.At(0, 0), 0x00FFFFFFu);
    // Empty and reversed rectangles paint nothing; strangers fail.
    Pixels before = target;
    RECT empty = {4, 4, 4, 6}, reversed = {6, 6, 2, 2};
    FillRect(dc, &empty, brush);
    FillRect(dc, &reversed, brush);
    EXPECT_EQ(target.data, before.data);
    int junk;
    EXPECT_EQ(FillRect(dc, &inside, reinterpret_cast<HBRUSH>(&junk)), 0);
    EXPECT_EQ(FillRect(dc, nullptr, brush), 0);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(FillRect(dc, &inside, brush), 0);
    GdiDeletePixelDC(dc);
}

TEST_F(GdiBitmapTest, MemoryDCDrawsOntoItsSelectedBitmap) {
    std::vector<uint32_t> pattern = Pattern(6, 4);
    HBITMAP bitmap = GdiCreateBitmap(6, 4, pattern.data());
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(memory, nullptr);
    const PixelMap* stock = GdiGetPixelMap(memory);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(stock->width, 1);
    EXPECT_EQ(stock->height, 1);

    HGDIOBJ previous = SelectObject(memory, bitmap);
    EXPECT_NE(previous, nullptr);
    const PixelMap* map = GdiGetPixelMap(memory);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->width, 6);
    ASSERT_EQ(map->height, 4);
    EXPECT_EQ(map->pixels[map->pitch * 3 + 5], pattern[3 * 6 + 5]);

    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    RECT all = {0, 0, 100, 100};
    FillRect(memory, &all, brush);
    EXPECT_EQ(map->pixels[0], 0x000000FFu);
    DeleteObject(brush);

    // A bitmap belongs to one memory DC at a time, and never to a pixel DC.
    HDC other = CreateCompatibleDC(memory);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    Pixels screen(4, 4, 0);
    HDC pixelDC = GdiCreatePixelDC(screen.map);
    EXPECT_EQ(SelectObject(pixelDC, bitmap), nullptr);
    EXPECT_FALSE(DeleteDC(pixelDC)); // a pixel DC is not deleted this way
    GdiDeletePixelDC(pixelDC);
    EXPECT_TRUE(DeleteDC(other));

    EXPECT_EQ(SelectObject(memory, previous), bitmap);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));

    EXPECT_EQ(GdiCreateBitmap(0, 4, pattern.data()), nullptr);
    EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(&all)), nullptr);
}

TEST_F(GdiBitmapTest, StretchBltCopiesOneToOneExactly) {
    const int w = 37, h = 23;
    std::vector<uint32_t> pattern = Pattern(w, h);
    HBITMAP bitmap = GdiCreateBitmap(w, h, pattern.data());
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);

    Pixels surface(w, h, 0x00ABCDEF);
    HDC dc = GdiCreatePixelDC(surface.map);
    EXPECT_TRUE(StretchBlt(dc, 0, 0, w, h, memory, 0, 0, w, h, SRCCOPY));
    EXPECT_EQ(surface.data, pattern);

    // Offsets: parts beyond either target are left out.
    Pixels shifted(w, h, 0);
    HDC shiftedDC = GdiCreatePixelDC(shifted.map);
    EXPECT_TRUE(
        StretchBlt(shiftedDC, 5, -3, w, h, memory, 2, 0, w, h, SRCCOPY));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sx = x - 5 + 2, sy = y + 3;
            uint32_t expected =
                (sx >= 0 && sx < w && sy >= 0 && sy < h && x >= 5)
                    ? pattern[(size_t)sy * w + sx]
                    : 0u;
            ASSERT_EQ(shifted.At(x, y), expected) << x << "," << y;
        }
    GdiDeletePixelDC(shiftedDC);

    EXPECT_FALSE(StretchBlt(dc, 0, 0, w, h, memory, 0, 0, w, h, 0x00EE0086));
    EXPECT_FALSE(StretchBlt(dc, 0, 0, 0, h, memory, 0, 0, w, h, SRCCOPY));
    EXPECT_FALSE(StretchBlt(nullptr, 0, 0, w, h, memory, 0, 0, w, h, SRCCOPY));
    EXPECT_FALSE(StretchBlt(dc, 0, 0, w, h, nullptr, 0, 0, w, h, SRCCOPY));
    GdiDeletePixelDC(dc);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST_F(GdiBitmapTest, StretchBltScalesByNearestNeighbour) {
    std::vector<uint32_t> pattern = Pattern(3, 2);
    HBITMAP bitmap = GdiCreateBitmap(3, 2, pattern.data());
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    Pixels big(6, 4, 0);
    HDC dc = GdiCreatePixelDC(big.map);
    EXPECT_TRUE(StretchBlt(dc, 0, 0, 6, 4, memory, 0, 0, 3, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(big.At(x, y), pattern[(y / 2) * 3 + x / 2]);
    Pixels small(1, 1, 0);
    HDC smallDC = GdiCreatePixelDC(small.map);
    EXPECT_TRUE(StretchBlt(smallDC, 0, 0, 1, 1, dc, 0, 0, 6, 4, SRCCOPY));
    EXPECT_EQ(small.At(0, 0), pattern[0]);
    GdiDeletePixelDC(smallDC);
    GdiDeletePixelDC(dc);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST_F(GdiBitmapTest, ABitmapDeletedWhileSelectedStaysUntilDeselected) {
    std::vector<uint32_t> pattern = Pattern(4, 4);
    HBITMAP bitmap = GdiCreateBitmap(4, 4, pattern.data());
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    const PixelMap* map = GdiGetPixelMap(memory);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->pixels[5], pattern[5]);
    EXPECT_TRUE(DeleteDC(memory)); // the bitmap goes with it
}

} // namespace
