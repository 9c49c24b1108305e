// The seams that benchmarks and latency measurements drive the running main
// loop through: the hook called as PeekMessageA looks at the queue, the hook
// that sees each flipped frame as presented, and the screen copy that a
// benchmark turns off.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <vector>

#include "gdi/dc.h"
#include "platform_fixture.h"
#include "testing/ddraw.h"
#include "user/window_internal.h"

namespace {

int peeks;
std::vector<uint32_t> presentedCorner; // pixel (0, 0) of each frame
const uint32_t* presentedPixels;

void CountPeek() {
    ++peeks;
    // Input queued here is taken by the same PeekMessageA.
    if (peeks == 2) TestKeyPress('A');
}

void NotePresent(const uint32_t* pixels, int pitch) {
    presentedPixels = pixels;
    presentedCorner.push_back(pixels[0] & 0xFFFFFF);
    EXPECT_EQ(pitch, 1024);
}

class TestSeams : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        peeks = 0;
        presentedCorner.clear();
        presentedPixels = nullptr;
    }
    void TearDown() override {
        TestCaptureScreen(true); // as the other tests expect it
        TestResetDirectDraw();
        PlatformTest::TearDown();
    }

    HWND MakeWindow() {
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "QelSeamsTest";
        EXPECT_NE(RegisterClassExA(&cls), 0);
        return CreateWindowExA(0, "QelSeamsTest", "Qel", WS_POPUP, 0, 0, 1024,
                               768, nullptr, nullptr, nullptr, nullptr);
    }
};

TEST_F(TestSeams, ThePeekHookRunsOnceAPeekAndItsInputIsTakenThere) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    TestSetPeekHook(CountPeek);
    MSG msg = {};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(peeks, 1);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(peeks, 2);
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, (WPARAM)'A');
    // The reset forgets the hook, as it forgets everything of a test.
    TestResetUser();
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(peeks, 2);
}

TEST_F(TestSeams, ThePresentHookSeesEachFlippedFrameWithoutACopy) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    LPDIRECTDRAW first = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    LPDIRECTDRAW7 dd = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw7, (void**)&dd), S_OK);
    first->Release();
    ASSERT_EQ(dd->SetCooperativeLevel(window,
                                      DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE |
                                          DDSCL_ALLOWREBOOT | DDSCL_ALLOWMODEX),
              DD_OK);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
    DDSCAPS2 caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);

    TestSetPresentHook(NotePresent);
    TestCaptureScreen(false);
    ShowWindow(window, SW_SHOW); // the black of a new window is no frame
    EXPECT_TRUE(presentedCorner.empty());

    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    for (uint32_t colour : {0x123456u, 0xABCDEFu}) {
        fx.dwFillColor = colour;
        ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx),
                  DD_OK);
        ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    }
    EXPECT_EQ(presentedCorner, (std::vector<uint32_t>{0x123456u, 0xABCDEFu}));
    // The hook saw the front buffer's own pixels, and no copy was kept.
    HDC dc = nullptr;
    ASSERT_EQ(front->GetDC(&dc), DD_OK);
    EXPECT_EQ(presentedPixels, GdiGetPixelMap(dc)->pixels);
    front->ReleaseDC(dc);
    EXPECT_TRUE(TestScreenPixels().empty());
    EXPECT_EQ(TestScreenPixel(0, 0), 0u);

    // With the copy on again, the next frame is kept (the chain draws in
    // the window's memory, so the back buffer still holds the last frame).
    TestCaptureScreen(true);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestScreenPixel(5, 5), 0xABCDEFu);

    back->Release();
    front->Release();
    dd->Release();
    EXPECT_EQ(TestLiveSurfaces(), 0);
}

} // namespace
