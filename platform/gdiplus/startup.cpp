// GDI+ start-up and shut-down: the image decoders are ready in between.

#include <gdiplus.h>

#include "gdiplus_private.h"

#include <SDL_image.h>

#include <set>

using namespace Gdiplus;

namespace {

std::set<ULONG_PTR>& Tokens() {
    static std::set<ULONG_PTR> tokens;
    return tokens;
}

ULONG_PTR nextToken = 1;

} // namespace

bool GdipIsStarted() {
    return !Tokens().empty();
}

// Starts GDI+ (versions 1 to 3) and hands out the token that ends this use.
GpStatus WINGDIPAPI Gdiplus::GdiplusStartup(ULONG_PTR* token,
                                            const GdiplusStartupInput* input,
                                            GdiplusStartupOutput* output) {
    if (!token || !input) return InvalidParameter;
    if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3)
        return UnsupportedGdiplusVersion;
    if (Tokens().empty()) IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
    *token = nextToken++;
    Tokens().insert(*token);
    if (output) *output = GdiplusStartupOutput();
    return Ok;
}

// Ends the use `token` stands for; the last one unloads the decoders.
VOID WINGDIPAPI Gdiplus::GdiplusShutdown(ULONG_PTR token) {
    if (Tokens().erase(token) && Tokens().empty()) IMG_Quit();
}
