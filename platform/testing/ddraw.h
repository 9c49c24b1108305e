// Test seams of the DirectDraw stand-in. The game never calls these.
#ifndef QEL_PLATFORM_TESTING_DDRAW_H
#define QEL_PLATFORM_TESTING_DDRAW_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <vector>

// A copy of a surface's pixels, 32-bit XRGB (0x00RRGGBB), top row first.
struct TestSurfaceImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// The pixels of `surface` as they are now; empty (0 by 0) for a pointer
// that is not a live surface of the stand-in.
TestSurfaceImage TestSurfacePixels(LPDIRECTDRAWSURFACE7 surface);

// Flips that presented a frame since the last reset.
int TestFlipCount();

// DirectDraw objects and surfaces alive now (0 once all are released).
int TestLiveDirectDrawObjects();
int TestLiveSurfaces();

// Forgets the flip count. Live objects are left alone:
// a test releases what it made.
void TestResetDirectDraw();

#endif
