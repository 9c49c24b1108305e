// Bitmaps and StretchBlt.

#include "gdi_private.h"

#include "../trace/trace.h"

#include <algorithm>
#include <cstring>

HBITMAP GdiCreateBitmap(int width, int height, const uint32_t* pixels) {
    if (width <= 0 || height <= 0) return nullptr;
    auto* bitmap = new GdiBitmap;
    bitmap->pixels.resize((size_t)width * height);
    for (size_t i = 0; i < bitmap->pixels.size(); ++i)
        bitmap->pixels[i] = pixels[i] & 0x00FFFFFF;
    bitmap->map = {bitmap->pixels.data(), width, height, width};
    return GdiRegisterObject(bitmap);
}

// Copies (SRCCOPY) a source rectangle onto a destination rectangle of the
// same size (the game never stretches, other raster operations neither:
// both fail); pixels outside either DC's target are left out.
BOOL WINAPI StretchBlt(HDC destHandle, int destX, int destY, int destWidth,
                       int destHeight, HDC sourceHandle, int sourceX,
                       int sourceY, int sourceWidth, int sourceHeight,
                       DWORD rop) {
    TRACE(TRACE_GDI, "dst=%p (%d,%d) %dx%d src=%p (%d,%d) %dx%d rop=0x%08x",
          (void*)destHandle, destX, destY, destWidth, destHeight,
          (void*)sourceHandle, sourceX, sourceY, sourceWidth, sourceHeight,
          (unsigned)rop);
    if (rop != SRCCOPY || destWidth != sourceWidth ||
        destHeight != sourceHeight) {
        FIXME(TRACE_GDI, "%dx%d from %dx%d rop=0x%08x: same-size SRCCOPY only",
              destWidth, destHeight, sourceWidth, sourceHeight, (unsigned)rop);
        return FALSE;
    }
    GdiDC* destDC = GdiLookupDC(destHandle);
    GdiDC* sourceDC = GdiLookupDC(sourceHandle);
    if (!destDC || !sourceDC || destWidth != sourceWidth ||
        destHeight != sourceHeight)
        return FALSE;
    const PixelMap* dest = GdiTarget(destDC);
    const PixelMap* source = GdiTarget(sourceDC);
    if (!dest || !source) return FALSE;
    // The columns both targets hold, as offsets from the rectangles' left.
    int64_t from = std::max<int64_t>({0, -(int64_t)destX, -(int64_t)sourceX});
    int64_t to = std::min<int64_t>({destWidth, (int64_t)dest->width - destX,
                                    (int64_t)source->width - sourceX});
    for (int64_t row = 0; row < destHeight && from < to; ++row) {
        int64_t dy = destY + row, sy = sourceY + row;
        if (dy < 0 || dy >= dest->height || sy < 0 || sy >= source->height)
            continue;
        std::memmove(dest->pixels + dy * dest->pitch + destX + from,
                     source->pixels + sy * source->pitch + sourceX + from,
                     (size_t)(to - from) * sizeof(uint32_t));
    }
    GdiNoteOther(destDC, *dest);
    return TRUE;
}
