// GDI+ start-up and shut-down: the image decoders are ready in between.

#include <gdiplus.h>

#include <SDL_image.h>

using namespace Gdiplus;

namespace {

int users = 0; // start-ups not yet shut down

} // namespace

// Starts GDI+ and hands out the token that ends this use.
GpStatus WINGDIPAPI Gdiplus::GdiplusStartup(ULONG_PTR* token,
                                            const GdiplusStartupInput*,
                                            GdiplusStartupOutput*) {
    if (users++ == 0) IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
    *token = 1;
    return Ok;
}

// Ends one use; the last one unloads the decoders.
VOID WINGDIPAPI Gdiplus::GdiplusShutdown(ULONG_PTR) {
    if (--users == 0) IMG_Quit();
}
