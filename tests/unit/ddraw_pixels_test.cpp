// The pixel memory of DirectDraw surfaces: a frame-sized buffer starts on a
// 2 MB boundary (whole 2 MB pages for its rows), and every buffer, large or
// small, starts black and is given back when its surface goes.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "gdi/dc.h"
#include "platform_fixture.h"
#include "testing/ddraw.h"

namespace {

class DirectDrawPixels : public PlatformTest {
  protected:
    LPDIRECTDRAW7 dd = nullptr;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw7, (void**)&dd), S_OK);
        first->Release();
    }
    void TearDown() override {
        if (dd) dd->Release();
        EXPECT_EQ(TestLiveSurfaces(), 0);
        EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
        TestResetDirectDraw();
        PlatformTest::TearDown();
    }

    LPDIRECTDRAWSURFACE7 Offscreen(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = width;
        desc.dwHeight = height;
        LPDIRECTDRAWSURFACE7 surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static const uint32_t* Pixels(LPDIRECTDRAWSURFACE7 surface) {
        HDC dc = nullptr;
        if (surface->GetDC(&dc) != DD_OK) return nullptr;
        const uint32_t* pixels = GdiGetPixelMap(dc)->pixels;
        surface->ReleaseDC(dc);
        return pixels;
    }
};

TEST_F(DirectDrawPixels, FrameSizedBuffersStartOnA2MBBoundaryAndBlack) {
    // Written, released and made again: the new buffer is black too.
    for (int round = 0; round < 2; ++round) {
        LPDIRECTDRAWSURFACE7 frame = Offscreen(1024, 768);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ((uintptr_t)Pixels(frame) % (2u << 20), 0u);
        TestSurfaceImage image = TestSurfacePixels(frame);
        ASSERT_EQ(image.pixels.size(), 1024u * 768u);
        size_t black = 0;
        for (uint32_t p : image.pixels)
            black += p == 0;
        EXPECT_EQ(black, image.pixels.size());
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = 0xFFFFFF;
        EXPECT_EQ(frame->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx),
                  DD_OK);
        EXPECT_EQ(TestSurfacePixels(frame).At(1023, 767), 0xFFFFFFu);
        frame->Release();
    }
}

TEST_F(DirectDrawPixels, SmallAndOddSizedBuffersAreBlackWhole) {
    for (DWORD size : {1u, 3u, 700u, 1025u}) {
        LPDIRECTDRAWSURFACE7 surface = Offscreen(size, size / 2 + 1);
        ASSERT_NE(surface, nullptr) << size;
        TestSurfaceImage image = TestSurfacePixels(surface);
        ASSERT_EQ(image.pixels.size(), (size_t)size * (size / 2 + 1));
        EXPECT_EQ(image.At(0, 0), 0u);
        EXPECT_EQ(image.At(image.width - 1, image.height - 1), 0u);
        surface->Release();
    }
}

} // namespace
