// Test seams of the DirectDraw stand-in.
#include "seams.h"

#include <cstring>

#include "../ddraw/ddraw_private.h"

TestSurfaceImage TestSurfacePixels(LPDIRECTDRAWSURFACE7 surface) {
    TestSurfaceImage image;
    const DirectDrawSurface* found = DdrawFindSurface(surface);
    if (!found) return image;
    const PixelMap& map = found->map;
    image.width = map.width;
    image.height = map.height;
    image.pixels.resize((size_t)map.width * map.height);
    for (int y = 0; y < map.height; ++y)
        std::memcpy(&image.pixels[(size_t)y * map.width],
                    map.pixels + (size_t)y * map.pitch,
                    (size_t)map.width * sizeof(uint32_t));
    return image;
}

int TestFlipCount() {
    return ddrawFlipCount;
}

int TestLiveDirectDrawObjects() {
    return DdrawLiveObjects();
}
int TestLiveSurfaces() {
    return DdrawLiveSurfaces();
}

void TestResetDirectDraw() {
    ddrawFlipCount = 0;
}
