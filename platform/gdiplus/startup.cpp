// GDI+ start-up and shut-down: the image decoders are ready in between.

#include <gdiplus.h>

#include <SDL_image.h>

#include "../trace/trace.h"

using namespace Gdiplus;

namespace {

int users = 0; // start-ups not yet shut down

} // namespace

// Starts GDI+ and hands out the token that ends this use.
GpStatus WINGDIPAPI Gdiplus::GdiplusStartup(ULONG_PTR* token,
                                            const GdiplusStartupInput* input,
                                            GdiplusStartupOutput* output) {
    TRACE(TRACE_GDIPLUS, "input=%p output=%p", (const void*)input,
          (void*)output);
    if (users++ == 0) IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
    *token = 1;
    return Ok;
}

// Ends one use; the last one unloads the decoders.
VOID WINGDIPAPI Gdiplus::GdiplusShutdown(ULONG_PTR token) {
    TRACE(TRACE_GDIPLUS, "token=%lu", (unsigned long)token);
    if (--users == 0) IMG_Quit();
}
