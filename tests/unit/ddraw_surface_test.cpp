// The DirectDraw stand-in: colour fills, colour-keyed copies, the flip and
// the surfaces refused.
#include <gtest/gtest.h>

#include <vector>

#include "ddraw_fixture.h"
#include "user/user_internal.h"

namespace {

const uint32_t kGrey = 0xC8C8C8;

// Right and bottom edges lie outside the rectangle.
TEST_F(DirectDrawTest, ColourFillCoversItsRectangleClippedToTheSurface) {
    LPDIRECTDRAWSURFACE7 surface = Offscreen(64, 48);
    // Each rectangle, and the part of it filled.
    RECT cases[][2] = {{{10, 20, 30, 40}, {10, 20, 30, 40}},
                       {{-5, -5, 3, 2}, {0, 0, 3, 2}},
                       {{60, 40, 100, 100}, {60, 40, 64, 48}},
                       {{70, 10, 80, 20}, {}},
                       {{8, 8, 4, 12}, {}}};
    for (RECT* c : cases) {
        ASSERT_EQ(Fill(surface, nullptr, kGrey), DD_OK);
        ASSERT_EQ(Fill(surface, &c[0], 0x0000FF), DD_OK);
        TestSurfaceImage image = TestSurfacePixels(surface);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                bool in = x >= c[1].left && x < c[1].right && y >= c[1].top &&
                          y < c[1].bottom;
                ASSERT_EQ(image.At(x, y), in ? 0x0000FFu : kGrey)
                    << c[0].left << "," << c[0].top << ": " << x << "," << y;
            }
    }
    surface->Release();
}

// White (once with the unused top byte set) on diagonals, near-whites as
// JPEG leaves them, the rest all different; rows of 4 + 4 + 3 pixels.
uint32_t Picture(int x, int y) {
    if ((x + y) % 3 == 0) return x == 4 || x == 9 ? 0xFFFFFFFF : 0x00FFFFFF;
    if (x == 5) return 0x00FEFFFF;
    if (x == 7) return 0x00FFFFFE;
    return (uint32_t)(x + 16 * y + 1);
}

// White is left out, every other colour copied; a copy off an edge takes the
// source's matching part.
TEST_F(DirectDrawTest, KeyedCopyLeavesOutWhiteAndClipsAtTheEdges) {
    const int w = 11, h = 3;
    LPDIRECTDRAWSURFACE7 picture = Offscreen(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            RECT one = {x, y, x + 1, y + 1};
            ASSERT_EQ(Fill(picture, &one, Picture(x, y)), DD_OK);
        }
    LPDIRECTDRAWSURFACE7 back = Offscreen(16, 8);
    for (POINT at :
         {POINT{2, 1}, POINT{-3, -2}, POINT{9, 6}, POINT{16, 0}, POINT{0, 8}}) {
        ASSERT_EQ(Fill(back, nullptr, kGrey), DD_OK);
        RECT dest = {at.x, at.y, at.x + w, at.y + h};
        ASSERT_EQ(back->Blt(&dest, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT,
                            nullptr),
                  DD_OK);
        TestSurfaceImage image = TestSurfacePixels(back);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                int sx = x - at.x, sy = y - at.y;
                uint32_t expected = kGrey;
                if (sx >= 0 && sx < w && sy >= 0 && sy < h &&
                    (Picture(sx, sy) & 0xFFFFFF) != 0xFFFFFF)
                    expected = Picture(sx, sy);
                ASSERT_EQ(image.At(x, y), expected)
                    << at.x << "," << at.y << ": " << x << "," << y;
            }
    }
    picture->Release();
    back->Release();
}

// Each flip shows the back buffer; a menu drawn over the game takes the
// window's screen memory back, the shown frame staying the front buffer's.
TEST_F(DirectDrawTest, FlipShowsTheBackBuffer) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
    DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, {0}};
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    ShowWindow(window, SW_SHOW);
    for (uint32_t colour : {0x0000FFu, 0x00FF00u, 0xFF0000u}) {
        ASSERT_EQ(Fill(back, nullptr, colour), DD_OK);
        ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
        EXPECT_EQ(TestScreenPixel(1023, 767), colour);
    }
    EXPECT_EQ(TestFlipCount(), 3);

    std::vector<uint32_t> menu((size_t)1024 * 768, 0xFF00FF);
    UserShowPixels(window, PixelMap{menu.data(), 1024, 768, 1024});
    ASSERT_EQ(Fill(back, nullptr, 0xFFFFFF), DD_OK);
    EXPECT_EQ(Count(TestSurfacePixels(front), 0xFF0000), 1024 * 768);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestScreenPixel(512, 384), 0xFFFFFFu);
    back->Release();
    front->Release();
}

TEST_F(DirectDrawTest, ZeroSizedAndOversizedSurfacesAreRefused) {
    struct Case {
        DWORD width, height;
        HRESULT result;
    } cases[] = {{0, 37, DDERR_INVALIDPARAMS},
                 {1100, 0, DDERR_INVALIDPARAMS},
                 {16385, 1, DDERR_TOOBIGWIDTH},
                 {1, 16385, DDERR_TOOBIGHEIGHT},
                 {16384, 1, DD_OK},
                 {1, 16384, DD_OK}};
    for (const Case& c : cases) {
        HRESULT hr = E_FAIL;
        LPDIRECTDRAWSURFACE7 surface = Offscreen(c.width, c.height, &hr);
        EXPECT_EQ(hr, c.result) << c.width << " by " << c.height;
        EXPECT_EQ(surface != nullptr, c.result == DD_OK);
        if (surface) surface->Release();
    }
}

} // namespace
