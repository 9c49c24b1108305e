// The DirectDraw stand-in: the object, the flipping primary, off-screen
// surfaces, colour fills, colour-keyed copies, device contexts, the flip and
// reference counts.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform_fixture.h"
#include "testing/fault.h"
#include "testing/ddraw.h"
#include "testing/gdi.h"
#include "user/user_internal.h"

namespace {

const DWORD kGameLevel =
    DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX;

class DirectDrawTest : public PlatformTest {
  protected:
    HWND window = nullptr;
    LPDIRECTDRAW7 dd = nullptr;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "QelDirectDrawTest";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        window = CreateWindowExA(0, "QelDirectDrawTest", "Qel", WS_POPUP, 0, 0,
                                 1024, 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dd = CreateDirectDraw7();
        ASSERT_NE(dd, nullptr);
    }

    void TearDown() override {
        if (dd) dd->Release();
        // Every test releases what it made: nothing may be left alive.
        EXPECT_EQ(TestLiveSurfaces(), 0);
        EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
        TestResetDirectDraw();
        PlatformTest::TearDown();
    }

    static LPDIRECTDRAW7 CreateDirectDraw7() {
        LPDIRECTDRAW first = nullptr;
        if (FAILED(DirectDrawCreate(nullptr, &first, nullptr))) return nullptr;
        LPDIRECTDRAW7 seven = nullptr;
        HRESULT hr = first->QueryInterface(IID_IDirectDraw7, (void**)&seven);
        first->Release();
        return SUCCEEDED(hr) ? seven : nullptr;
    }

    // The game's flipping primary; `back` gets the attached back buffer.
    HRESULT CreatePrimary(LPDIRECTDRAWSURFACE7* front,
                          LPDIRECTDRAWSURFACE7* back) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        HRESULT hr = dd->CreateSurface(&desc, front, nullptr);
        if (FAILED(hr) || !back) return hr;
        DDSCAPS2 caps = {};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        return (*front)->GetAttachedSurface(&caps, back);
    }

    LPDIRECTDRAWSURFACE7 CreateOffscreen(DWORD width, DWORD height,
                                         const DDCOLORKEY* key = nullptr,
                                         HRESULT* result = nullptr) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = width;
        desc.dwHeight = height;
        if (key) {
            desc.dwFlags |= DDSD_CKSRCBLT;
            desc.ddckCKSrcBlt = *key;
        }
        LPDIRECTDRAWSURFACE7 surface = nullptr;
        HRESULT hr = dd->CreateSurface(&desc, &surface, nullptr);
        if (result) *result = hr;
        return surface;
    }

    static HRESULT Fill(LPDIRECTDRAWSURFACE7 surface, RECT* rect, DWORD color) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = color;
        return surface->Blt(rect, nullptr, nullptr,
                            DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    // Where the surface's pixels are: its DC's target.
    static const uint32_t* PixelsOf(LPDIRECTDRAWSURFACE7 surface) {
        HDC dc = nullptr;
        EXPECT_EQ(surface->GetDC(&dc), DD_OK);
        if (!dc) return nullptr;
        const uint32_t* pixels = GdiGetPixelMap(dc)->pixels;
        surface->ReleaseDC(dc);
        return pixels;
    }

    static void SetPixel(LPDIRECTDRAWSURFACE7 surface, int x, int y,
                         DWORD color) {
        RECT one = {x, y, x + 1, y + 1};
        ASSERT_EQ(Fill(surface, &one, color), DD_OK);
    }

    // A surface whose pixel (x, y) is x + 16 * y + 1: every pixel tells
    // where it came from.
    LPDIRECTDRAWSURFACE7 CreateNumbered(int width, int height,
                                        const DDCOLORKEY* key = nullptr) {
        LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(width, height, key);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(surface, x, y, (DWORD)(x + 16 * y + 1));
        return surface;
    }

    static int Count(const TestSurfaceImage& image, uint32_t value) {
        int n = 0;
        for (uint32_t p : image.pixels)
            n += p == value;
        return n;
    }
};

// ------------------------------------------------------------- the object

TEST_F(DirectDrawTest, GivesBothInterfacesOfOneObject) {
    IUnknown* unknown = nullptr;
    ASSERT_EQ(dd->QueryInterface(IID_IUnknown, (void**)&unknown), S_OK);
    LPDIRECTDRAW7 again = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IDirectDraw7, (void**)&again), S_OK);
    EXPECT_EQ(again, dd);
    void* other = &other;
    EXPECT_EQ(dd->QueryInterface(IID_IDirectDrawSurface7, &other),
              E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(again->Release(), 2u);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(TestLiveDirectDrawObjects(), 1);
}

TEST_F(DirectDrawTest, WithoutADisplayThereIsNoDirectDraw) {
    // Video is already up on the offscreen driver; without the variable
    // that chose it on purpose, that driver is no display.
    const char* set = getenv("SDL_VIDEODRIVER");
    if (!set) GTEST_SKIP() << "runs under SDL_VIDEODRIVER=offscreen";
    std::string chosen = set;
    unsetenv("SDL_VIDEODRIVER");
    LPDIRECTDRAW first = nullptr;
    HRESULT hr = DirectDrawCreate(nullptr, &first, nullptr);
    setenv("SDL_VIDEODRIVER", chosen.c_str(), 1);
    EXPECT_EQ(hr, DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(first, nullptr);
}

TEST_F(DirectDrawTest, CooperativeLevelNeedsExclusiveFullScreenWithAWindow) {
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, kGameLevel),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FULLSCREEN |
                                                  DDSCL_EXCLUSIVE),
              DDERR_INVALIDPARAMS);
    // Nothing set yet: a flipping primary can't be made.
    LPDIRECTDRAWSURFACE7 front = nullptr;
    EXPECT_EQ(CreatePrimary(&front, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(front, nullptr);

    EXPECT_EQ(dd->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(CreatePrimary(&front, nullptr), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    ASSERT_EQ(CreatePrimary(&front, nullptr), DD_OK);
    front->Release();

    DestroyWindow(window);
    EXPECT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawTest, OnlyTheGamesDisplayModeIsAccepted) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(1024, 768, 32, 0, 0), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(800, 600, 32, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(dd->SetDisplayMode(1024, 768, 16, 0, 0), DDERR_INVALIDMODE);
    // The refused modes changed nothing: the screen is still 1024 by 768.
    LPDIRECTDRAWSURFACE7 front = nullptr;
    ASSERT_EQ(CreatePrimary(&front, nullptr), DD_OK);
    TestSurfaceImage image = TestSurfacePixels(front);
    EXPECT_EQ(image.width, 1024);
    EXPECT_EQ(image.height, 768);
    front->Release();
}

TEST_F(DirectDrawTest, InjectedResultsFailOrSucceedOnce) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(4, 4);
    ASSERT_NE(surface, nullptr);
    TestFailNext(FAULT_BLT, DDERR_GENERIC);
    EXPECT_EQ(Fill(surface, nullptr, 0x123456), DDERR_GENERIC);
    EXPECT_EQ(Count(TestSurfacePixels(surface), 0x123456), 0);
    // A positive success code: the fill is done and the code returned.
    TestFailNext(FAULT_BLT, 1);
    EXPECT_EQ(Fill(surface, nullptr, 0x123456), 1);
    EXPECT_EQ(Count(TestSurfacePixels(surface), 0x123456), 16);
    EXPECT_EQ(Fill(surface, nullptr, 0), DD_OK);
    surface->Release();
}

// ------------------------------------------------------------- surfaces

TEST_F(DirectDrawTest, PrimaryIsAFlippingChainWithOneBackBuffer) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(CreatePrimary(&front, &back), DD_OK);
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back, front);
    EXPECT_EQ(TestLiveSurfaces(), 2);
    TestSurfaceImage image = TestSurfacePixels(back);
    EXPECT_EQ(image.width, 1024);
    EXPECT_EQ(image.height, 768);

    DDSCAPS2 caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    LPDIRECTDRAWSURFACE7 same = nullptr;
    ASSERT_EQ(front->GetAttachedSurface(&caps, &same), DD_OK);
    EXPECT_EQ(same, back);
    same->Release();
    LPDIRECTDRAWSURFACE7 none = back;
    EXPECT_EQ(back->GetAttachedSurface(&caps, &none), DDERR_NOTFOUND);
    EXPECT_EQ(none, nullptr);
    caps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    EXPECT_EQ(front->GetAttachedSurface(&caps, &none), DDERR_NOTFOUND);

    // One primary at a time.
    LPDIRECTDRAWSURFACE7 second = nullptr;
    EXPECT_EQ(CreatePrimary(&second, nullptr),
              DDERR_PRIMARYSURFACEALREADYEXISTS);
    back->Release();
    front->Release();
    ASSERT_EQ(CreatePrimary(&second, nullptr), DD_OK);
    second->Release();
}

TEST_F(DirectDrawTest, OffscreenSurfaceHasTheAskedSizeAndIsBlack) {
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(1100, 800);
    ASSERT_NE(surface, nullptr);
    TestSurfaceImage image = TestSurfacePixels(surface);
    EXPECT_EQ(image.width, 1100);
    EXPECT_EQ(image.height, 800);
    EXPECT_EQ(Count(image, 0), 1100 * 800);
    surface->Release();
}

TEST_F(DirectDrawTest, ZeroSizedAndMalformedSurfacesAreRefused) {
    HRESULT hr = DD_OK;
    EXPECT_EQ(CreateOffscreen(0, 0, nullptr, &hr), nullptr);
    EXPECT_EQ(hr, DDERR_INVALIDPARAMS);
    EXPECT_EQ(CreateOffscreen(0, 10, nullptr, &hr), nullptr);
    EXPECT_EQ(hr, DDERR_INVALIDPARAMS);
    EXPECT_EQ(CreateOffscreen(10, 0, nullptr, &hr), nullptr);
    EXPECT_EQ(hr, DDERR_INVALIDPARAMS);
    EXPECT_EQ(CreateOffscreen(100000, 10, nullptr, &hr), nullptr);
    EXPECT_EQ(hr, DDERR_TOOBIGWIDTH);
    EXPECT_EQ(CreateOffscreen(10, 100000, nullptr, &hr), nullptr);
    EXPECT_EQ(hr, DDERR_TOOBIGHEIGHT);

    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH; // no height
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = desc.dwHeight = 8;
    LPDIRECTDRAWSURFACE7 surface = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    desc.dwFlags |= DDSD_HEIGHT;
    desc.dwSize = 100; // not this record's size
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->CreateSurface(nullptr, &surface, nullptr),
              DDERR_INVALIDPARAMS);
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, (IUnknown*)dd),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(surface, nullptr);
    EXPECT_EQ(TestLiveSurfaces(), 0);
}

// ------------------------------------------------------------- colour fill

TEST_F(DirectDrawTest, FillCoversTheWholeSurfaceOrJustTheRectangle) {
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(64, 48);
    ASSERT_EQ(Fill(surface, nullptr, 0xC8C8C8), DD_OK);
    EXPECT_EQ(Count(TestSurfacePixels(surface), 0xC8C8C8), 64 * 48);

    RECT rect = {10, 20, 30, 40};
    ASSERT_EQ(Fill(surface, &rect, 0x0000FF), DD_OK);
    TestSurfaceImage image = TestSurfacePixels(surface);
    EXPECT_EQ(Count(image, 0x0000FF), 20 * 20);
    EXPECT_EQ(image.At(10, 20), 0x0000FFu);
    EXPECT_EQ(image.At(29, 39), 0x0000FFu);
    // Right and bottom edges are outside the rectangle.
    EXPECT_EQ(image.At(30, 39), 0xC8C8C8u);
    EXPECT_EQ(image.At(29, 40), 0xC8C8C8u);
    EXPECT_EQ(image.At(9, 20), 0xC8C8C8u);
    EXPECT_EQ(image.At(10, 19), 0xC8C8C8u);
    surface->Release();
}

TEST_F(DirectDrawTest, FillIsClippedToTheSurface) {
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(16, 16);
    RECT topLeft = {-5, -5, 3, 2};
    ASSERT_EQ(Fill(surface, &topLeft, 1), DD_OK);
    RECT bottomRight = {14, 15, 100, 100};
    ASSERT_EQ(Fill(surface, &bottomRight, 2), DD_OK);
    RECT outside = {20, 20, 30, 30};
    ASSERT_EQ(Fill(surface, &outside, 3), DD_OK);
    TestSurfaceImage image = TestSurfacePixels(surface);
    EXPECT_EQ(Count(image, 1), 3 * 2);
    EXPECT_EQ(image.At(2, 1), 1u);
    EXPECT_EQ(Count(image, 2), 2 * 1);
    EXPECT_EQ(image.At(15, 15), 2u);
    EXPECT_EQ(Count(image, 3), 0);
    EXPECT_EQ(Count(image, 0), 256 - 6 - 2);
    surface->Release();
}

TEST_F(DirectDrawTest, FillRefusesMissingEffectsAndInvertedRectangles) {
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(16, 16);
    EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr),
              DDERR_INVALIDPARAMS);
    RECT inverted = {8, 8, 4, 12};
    EXPECT_EQ(Fill(surface, &inverted, 5), DDERR_INVALIDRECT);
    EXPECT_EQ(Count(TestSurfacePixels(surface), 0), 256);
    surface->Release();
}

// ------------------------------------------------------------- keyed copy

TEST_F(DirectDrawTest, KeyedCopyLeavesOutExactlyTheKeyColour) {
    DDCOLORKEY white = {0x00FFFFFF, 0x00FFFFFF};
    LPDIRECTDRAWSURFACE7 picture = CreateOffscreen(5, 1, &white);
    SetPixel(picture, 0, 0, 0x00FFFFFF); // white: left out
    SetPixel(picture, 1, 0, 0x00FEFFFF); // near-white, as JPEG leaves it
    SetPixel(picture, 2, 0, 0x00FFFFFE);
    SetPixel(picture, 3, 0, 0x00123456);
    SetPixel(picture, 4, 0, 0xFFFFFFFF); // white with the unused byte set
    LPDIRECTDRAWSURFACE7 back = CreateOffscreen(8, 2);
    Fill(back, nullptr, 0xC8C8C8);
    RECT dest = {2, 1, 7, 2};
    ASSERT_EQ(
        back->Blt(&dest, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr),
        DD_OK);
    TestSurfaceImage image = TestSurfacePixels(back);
    EXPECT_EQ(image.At(2, 1), 0xC8C8C8u);
    EXPECT_EQ(image.At(3, 1), 0xFEFFFFu);
    EXPECT_EQ(image.At(4, 1), 0xFFFFFEu);
    EXPECT_EQ(image.At(5, 1), 0x123456u);
    EXPECT_EQ(image.At(6, 1), 0xC8C8C8u);
    // Nothing outside the destination rectangle changed.
    EXPECT_EQ(Count(image, 0xC8C8C8), 16 - 3);
    picture->Release();
    back->Release();
}

TEST_F(DirectDrawTest, KeyedCopyTreatsEveryPixelOfALongRowAlike) {
    // Every third pixel white, at each place in a group of four and in the
    // row's tail.
    DDCOLORKEY white = {0x00FFFFFF, 0x00FFFFFF};
    LPDIRECTDRAWSURFACE7 source = CreateOffscreen(11, 2, &white);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 11; ++x)
            SetPixel(source, x, y, (x + y) % 3 == 0 ? 0xFFFFFF : x + 1);
    LPDIRECTDRAWSURFACE7 dest = CreateOffscreen(11, 2);
    Fill(dest, nullptr, 0xC8C8C8);
    ASSERT_EQ(dest->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr),
              DD_OK);
    TestSurfaceImage image = TestSurfacePixels(dest);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(image.At(x, y),
                      (x + y) % 3 == 0 ? 0xC8C8C8u : (uint32_t)(x + 1))
                << x << "," << y;
    source->Release();
    dest->Release();
}

TEST_F(DirectDrawTest, KeyRangeLeavesOutEveryColourFromLowToHigh) {
    DDCOLORKEY blues = {0x000010, 0x000020};
    LPDIRECTDRAWSURFACE7 source = CreateOffscreen(4, 1, &blues);
    SetPixel(source, 0, 0, 0x00000F);
    SetPixel(source, 1, 0, 0x000010);
    SetPixel(source, 2, 0, 0x000020);
    SetPixel(source, 3, 0, 0x000021);
    LPDIRECTDRAWSURFACE7 dest = CreateOffscreen(4, 1);
    Fill(dest, nullptr, 0xABCDEF);
    ASSERT_EQ(dest->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr),
              DD_OK);
    TestSurfaceImage image = TestSurfacePixels(dest);
    EXPECT_EQ(image.At(0, 0), 0x00000Fu);
    EXPECT_EQ(image.At(1, 0), 0xABCDEFu);
    EXPECT_EQ(image.At(2, 0), 0xABCDEFu);
    EXPECT_EQ(image.At(3, 0), 0x000021u);
    source->Release();
    dest->Release();
}

TEST_F(DirectDrawTest, CopyIsClippedWithTheSourceMovingAlong) {
    DDCOLORKEY none = {0x00FFFFFF, 0x00FFFFFF};
    LPDIRECTDRAWSURFACE7 source = CreateNumbered(4, 4, &none);
    LPDIRECTDRAWSURFACE7 dest = CreateOffscreen(16, 16);

    // Off the top left: dest (0,0) shows source (1,2).
    RECT topLeft = {-1, -2, 3, 2};
    ASSERT_EQ(dest->Blt(&topLeft, source, nullptr, DDBLT_KEYSRC, nullptr),
              DD_OK);
    TestSurfaceImage image = TestSurfacePixels(dest);
    EXPECT_EQ(image.At(0, 0), (uint32_t)(1 + 16 * 2 + 1));
    EXPECT_EQ(image.At(2, 1), (uint32_t)(3 + 16 * 3 + 1));
    EXPECT_EQ(Count(image, 0), 256 - 3 * 2);

    // Off the bottom right: only source (0..1, 0..1) lands, at 14..15.
    Fill(dest, nullptr, 0);
    RECT bottomRight = {14, 14, 18, 18};
    ASSERT_EQ(dest->Blt(&bottomRight, source, nullptr, DDBLT_KEYSRC, nullptr),
              DD_OK);
    image = TestSurfacePixels(dest);
    EXPECT_EQ(image.At(14, 14), 1u);
    EXPECT_EQ(image.At(15, 15), (uint32_t)(1 + 16 + 1));
    EXPECT_EQ(Count(image, 0), 256 - 4);

    // A source rectangle picks part of the source.
    Fill(dest, nullptr, 0);
    RECT part = {2, 1, 4, 3};
    RECT at = {5, 6, 7, 8};
    ASSERT_EQ(dest->Blt(&at, source, &part, DDBLT_KEYSRC | DDBLT_WAIT, nullptr),
              DD_OK);
    image = TestSurfacePixels(dest);
    EXPECT_EQ(image.At(5, 6), (uint32_t)(2 + 16 + 1));
    EXPECT_EQ(image.At(6, 7), (uint32_t)(3 + 32 + 1));
    EXPECT_EQ(Count(image, 0), 256 - 4);
    source->Release();
    dest->Release();
}

TEST_F(DirectDrawTest, CopyRefusesWhatItCannotDo) {
    DDCOLORKEY white = {0x00FFFFFF, 0x00FFFFFF};
    LPDIRECTDRAWSURFACE7 keyed = CreateNumbered(4, 4, &white);
    LPDIRECTDRAWSURFACE7 plain = CreateNumbered(4, 4);
    LPDIRECTDRAWSURFACE7 dest = CreateOffscreen(16, 16);
    RECT larger = {0, 0, 8, 8};
    EXPECT_EQ(dest->Blt(&larger, keyed, nullptr, DDBLT_KEYSRC, nullptr),
              DDERR_UNSUPPORTED);
    EXPECT_EQ(dest->Blt(nullptr, plain, nullptr, DDBLT_KEYSRC, nullptr),
              DDERR_INVALIDPARAMS); // no key to leave out
    EXPECT_EQ(dest->Blt(nullptr, nullptr, nullptr, DDBLT_KEYSRC, nullptr),
              DDERR_INVALIDPARAMS);
    RECT beyond = {2, 2, 6, 6};
    RECT four = {0, 0, 4, 4};
    EXPECT_EQ(dest->Blt(&four, keyed, &beyond, DDBLT_KEYSRC, nullptr),
              DDERR_INVALIDRECT);
    EXPECT_EQ(Count(TestSurfacePixels(dest), 0), 256);
    // Without DDBLT_KEYSRC every pixel is copied.
    ASSERT_EQ(dest->Blt(&four, plain, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Count(TestSurfacePixels(dest), 0), 256 - 16);
    keyed->Release();
    plain->Release();
    dest->Release();
}

TEST_F(DirectDrawTest, CopyWithinOneSurfaceReadsBeforeWriting) {
    LPDIRECTDRAWSURFACE7 surface = CreateNumbered(4, 4);
    RECT from = {0, 0, 3, 3};
    RECT to = {1, 1, 4, 4};
    ASSERT_EQ(surface->Blt(&to, surface, &from, 0, nullptr), DD_OK);
    TestSurfaceImage image = TestSurfacePixels(surface);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(image.At(x, y), (uint32_t)(x - 1 + 16 * (y - 1) + 1));
    surface->Release();
}

// ------------------------------------------------------------- device contexts

TEST_F(DirectDrawTest, OneDeviceContextAtATimeOntoTheSurfacePixels) {
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(32, 32);
    int dcsBefore = TestGdiLiveDCs();
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    HDC second = nullptr;
    EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_EQ(second, nullptr);

    // The DC draws onto the surface's own pixels.
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    RECT rect = {4, 4, 8, 8};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    EXPECT_EQ(Count(TestSurfacePixels(surface), 0xFF0000), 16);

    EXPECT_EQ(surface->ReleaseDC((HDC)&rect), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
    EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    // Releasing the surface with its DC out deletes the DC too.
    surface->Release();
    EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
}

// ------------------------------------------------------------- memory

// A frame-sized buffer starts on a 2 MB boundary (whole 2 MB pages for its
// rows); every buffer, large or small, starts black.
TEST_F(DirectDrawTest, FrameSizedBuffersStartOnA2MBBoundaryAndBlack) {
    // Written, released and made again: the new buffer is black too.
    for (int round = 0; round < 2; ++round) {
        LPDIRECTDRAWSURFACE7 frame = CreateOffscreen(1024, 768);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ((uintptr_t)PixelsOf(frame) % (2u << 20), 0u);
        TestSurfaceImage image = TestSurfacePixels(frame);
        ASSERT_EQ(image.pixels.size(), 1024u * 768u);
        size_t black = 0;
        for (uint32_t p : image.pixels)
            black += p == 0;
        EXPECT_EQ(black, image.pixels.size());
        EXPECT_EQ(Fill(frame, nullptr, 0xFFFFFF), DD_OK);
        EXPECT_EQ(TestSurfacePixels(frame).At(1023, 767), 0xFFFFFFu);
        frame->Release();
    }
}

TEST_F(DirectDrawTest, SmallAndOddSizedBuffersAreBlackWhole) {
    for (DWORD size : {1u, 3u, 700u, 1025u}) {
        LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(size, size / 2 + 1);
        ASSERT_NE(surface, nullptr) << size;
        TestSurfaceImage image = TestSurfacePixels(surface);
        ASSERT_EQ(image.pixels.size(), (size_t)size * (size / 2 + 1));
        EXPECT_EQ(image.At(0, 0), 0u);
        EXPECT_EQ(image.At(image.width - 1, image.height - 1), 0u);
        surface->Release();
    }
}

// ------------------------------------------------------------- flip

TEST_F(DirectDrawTest, FlipSwapsTheBuffersWhileTheWindowCannotLendItsScreen) {
    // A hidden window shows nothing and lends nothing: the chain's own two
    // buffers change hands at each flip.
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(CreatePrimary(&front, &back), DD_OK);

    Fill(back, nullptr, 0x0000FF);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestFlipCount(), 1);
    EXPECT_EQ(Count(TestSurfacePixels(front), 0x0000FF), 1024 * 768);
    // The back buffer now holds what the front showed before: black.
    EXPECT_EQ(Count(TestSurfacePixels(back), 0), 1024 * 768);

    Fill(back, nullptr, 0x00FF00);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestFlipCount(), 2);
    EXPECT_EQ(Count(TestSurfacePixels(back), 0x0000FF), 1024 * 768);

    // The window keeps the front buffer's pixels as its screen; drawing the
    // next frame does not touch it, and it goes (black) with the primary.
    Fill(back, nullptr, 0xFFFFFF);
    const PixelMap* screen = UserScreen(window);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->pixels[384 * screen->pitch + 512], 0x00FF00u);
    back->Release();
    front->Release();
    screen = UserScreen(window);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->pixels[384 * screen->pitch + 512], 0u);
}

TEST_F(DirectDrawTest,
       AShownChainDrawsInTheWindowsScreenMemoryUntilItIsNeeded) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(CreatePrimary(&front, &back), DD_OK);
    ShowWindow(window, SW_SHOW);

    // The first flip copies the frame to the screen, and the window lends
    // its memory: both buffers are that memory from then on.
    Fill(back, nullptr, 0x0000FF);
    int presentsBefore = TestPresentCount();
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestPresentCount(), presentsBefore + 1);
    EXPECT_EQ(TestScreenPixel(1023, 767), 0x0000FFu);
    const uint32_t* screenMemory = PixelsOf(front);
    EXPECT_EQ(PixelsOf(back), screenMemory);
    EXPECT_EQ(Count(TestSurfacePixels(back), 0x0000FF), 1024 * 768);

    // A frame drawn there is shown where it is.
    Fill(back, nullptr, 0x00FF00);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestFlipCount(), 2);
    EXPECT_EQ(TestPresentCount(), presentsBefore + 2);
    EXPECT_EQ(TestScreenPixel(512, 384), 0x00FF00u);
    EXPECT_EQ(Count(TestSurfacePixels(front), 0x00FF00), 1024 * 768);
    EXPECT_EQ(PixelsOf(back), screenMemory);
    EXPECT_EQ(UserScreen(window)->pixels, screenMemory);

    // The two buffers are one memory: a copy from the front into the back
    // reads before it writes, as within one surface.
    RECT blue = {0, 0, 1024, 50}, red = {0, 50, 1024, 100};
    RECT from = {0, 0, 1024, 100}, to = {0, 50, 1024, 150};
    Fill(back, &blue, 0x0000FF);
    Fill(back, &red, 0xFF0000);
    ASSERT_EQ(back->Blt(&to, front, &from, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(TestSurfacePixels(back).At(5, 99), 0x0000FFu);
    EXPECT_EQ(TestSurfacePixels(back).At(5, 149), 0xFF0000u);
    Fill(back, nullptr, 0x00FF00);

    // Anything else shown in the window (a menu over the game) takes the
    // memory back first: the frame moves into the chain's own buffers, and
    // the window's screen follows it.
    std::vector<uint32_t> menu((size_t)1024 * 768, 0xFF00FF);
    UserShowPixels(window, PixelMap{menu.data(), 1024, 768, 1024});
    EXPECT_EQ(TestScreenPixel(0, 0), 0xFF00FFu);
    EXPECT_NE(PixelsOf(front), screenMemory);
    EXPECT_NE(PixelsOf(back), screenMemory);
    EXPECT_NE(PixelsOf(back), PixelsOf(front));
    EXPECT_EQ(Count(TestSurfacePixels(front), 0x00FF00), 1024 * 768);
    EXPECT_EQ(Count(TestSurfacePixels(back), 0x00FF00), 1024 * 768);
    const PixelMap* screen = UserScreen(window);
    EXPECT_EQ(screen->pixels, PixelsOf(front));
    Fill(back, nullptr, 0xFFFFFF);
    EXPECT_EQ(screen->pixels[384 * screen->pitch + 512], 0x00FF00u);

    // The next flip swaps and copies, and borrows again.
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestScreenPixel(512, 384), 0xFFFFFFu);
    EXPECT_EQ(PixelsOf(front), PixelsOf(back));

    // A DC held on the back buffer follows the frame when the memory goes
    // back, here as the window is hidden.
    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    ShowWindow(window, SW_HIDE);
    EXPECT_NE(GdiGetPixelMap(dc)->pixels, screenMemory);
    EXPECT_EQ(GdiGetPixelMap(dc)->pixels[0], 0xFFFFFFu);
    back->ReleaseDC(dc);

    // Shown again and borrowed again, the screen goes black with the
    // primary, whichever is released first.
    ShowWindow(window, SW_SHOW);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(PixelsOf(front), PixelsOf(back));
    front->Release();
    EXPECT_EQ(UserScreen(window)->pixels[0], 0u);
    Fill(back, nullptr, 0x123456); // its own memory now, not the window's
    EXPECT_EQ(UserScreen(window)->pixels[0], 0u);
    back->Release();
}

TEST_F(DirectDrawTest, OnlyTheFlippingPrimaryFlipsAndNotWhileDrawnOn) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(CreatePrimary(&front, &back), DD_OK);
    LPDIRECTDRAWSURFACE7 plain = CreateOffscreen(8, 8);
    EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(plain->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);

    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    EXPECT_EQ(TestFlipCount(), 0);
    back->ReleaseDC(dc);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestFlipCount(), 1);
    plain->Release();
    back->Release();
    front->Release();
}

// ------------------------------------------------------------- reference
// counts

TEST_F(DirectDrawTest, SurfacesCountReferencesAndHoldTheirObject) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(CreatePrimary(&front, &back), DD_OK);
    // The chain holds one reference to its back buffer, GetAttachedSurface
    // gave another.
    EXPECT_EQ(back->AddRef(), 3u);
    EXPECT_EQ(back->Release(), 2u);
    LPDIRECTDRAWSURFACE7 same = nullptr;
    ASSERT_EQ(front->QueryInterface(IID_IDirectDrawSurface7, (void**)&same),
              S_OK);
    EXPECT_EQ(same, front);
    EXPECT_EQ(same->Release(), 1u);
    void* other = &other;
    EXPECT_EQ(front->QueryInterface(IID_IDirectDraw7, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    // Two surfaces each hold the object: its count is 1 + 2.
    EXPECT_EQ(dd->AddRef(), 4u);
    EXPECT_EQ(dd->Release(), 3u);

    // Released in the game's order: back, primary, then the object.
    EXPECT_EQ(back->Release(), 1u);
    EXPECT_EQ(TestLiveSurfaces(), 2);
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(TestLiveSurfaces(), 0);
    EXPECT_EQ(dd->Release(), 0u);
    dd = nullptr;
    EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
}

TEST_F(DirectDrawTest, AnyReleaseOrderIsSafe) {
    ASSERT_EQ(dd->SetCooperativeLevel(window, kGameLevel), DD_OK);
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(CreatePrimary(&front, &back), DD_OK);
    LPDIRECTDRAWSURFACE7 picture = CreateOffscreen(8, 8);
    // The object first: its surfaces keep it alive and usable.
    EXPECT_EQ(dd->Release(), 3u);
    dd = nullptr;
    EXPECT_EQ(TestLiveDirectDrawObjects(), 1);
    // The primary before its back buffer: the back buffer lives on.
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(TestLiveSurfaces(), 2);
    EXPECT_EQ(Fill(back, nullptr, 0x010203), DD_OK);
    EXPECT_EQ(back->Blt(nullptr, nullptr, nullptr, 0, nullptr),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(back->Release(), 0u);
    EXPECT_EQ(picture->Release(), 0u);
    EXPECT_EQ(TestLiveSurfaces(), 0);
    EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
}

} // namespace
