// A window and the game's DirectDraw object for the display tests, and the
// surfaces and fills they draw with. Every test releases what it made.
#ifndef QEL_TESTS_UNIT_DDRAW_FIXTURE_H
#define QEL_TESTS_UNIT_DDRAW_FIXTURE_H

#include <ddraw.h>

#include "platform_fixture.h"
#include "testing/seams.h"
#include "user/user_private.h"

class DirectDrawTest : public PlatformTest {
  protected:
    static const DWORD kChainCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "QelDisplayTest";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        window = CreateWindowExA(0, cls.lpszClassName, "Qel", WS_POPUP, 0, 0,
                                 1024, 768, nullptr, nullptr, nullptr, nullptr);
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw7, (void**)&dd), DD_OK);
        first->Release();
        ASSERT_EQ(dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DD_OK);
    }
    void TearDown() override {
        if (back) back->Release();
        if (front) front->Release();
        if (dd) dd->Release();
        EXPECT_EQ(TestLiveSurfaces(), 0);
        EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
        PlatformTest::TearDown();
    }

    // CreateSurface as `flags` and `caps` say, of `width` by `height`, with
    // the game's white source key when DDSD_CKSRCBLT is among `flags`.
    HRESULT Create(LPDIRECTDRAWSURFACE7* made, DWORD flags, DWORD caps,
                   DWORD width, DWORD height, DWORD backBuffers = 0) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = flags;
        desc.ddsCaps.dwCaps = caps;
        desc.ddckCKSrcBlt = {0x00FFFFFF, 0x00FFFFFF};
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.dwBackBufferCount = backBuffers;
        return dd->CreateSurface(&desc, made, nullptr);
    }
    LPDIRECTDRAWSURFACE7 Offscreen(DWORD width, DWORD height,
                                   HRESULT* result = nullptr) {
        LPDIRECTDRAWSURFACE7 surface = nullptr;
        HRESULT hr = Create(
            &surface, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_CKSRCBLT,
            DDSCAPS_OFFSCREENPLAIN, width, height);
        if (result) *result = hr;
        return surface;
    }
    // The game's flipping chain: a primary with one back buffer.
    void Chain() {
        ASSERT_EQ(Create(&front, DDSD_CAPS | DDSD_BACKBUFFERCOUNT, kChainCaps,
                         0, 0, 1),
                  DD_OK);
        DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, {0}};
        ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    }
    static HRESULT Fill(LPDIRECTDRAWSURFACE7 surface, RECT* rect,
                        DWORD colour) {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = colour;
        return surface->Blt(rect, nullptr, nullptr,
                            DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    // The chain shown in a window of `w` by `h`, at 1:1 or scaled.
    SDL_Window* Resize(int w, int h) {
        ShowWindow(window, SW_SHOW);
        SDL_Window* sdl = SDL_GetWindowFromID(TestSdlWindowId(window));
        SDL_SetWindowFullscreen(sdl, 0);
        SDL_SetWindowSize(sdl, w, h);
        UserPumpInput(); // the resize's own events, before the test's
        return sdl;
    }

    HWND window = nullptr;
    LPDIRECTDRAW7 dd = nullptr;
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr; // of Chain()
};

#endif
