// Bitmaps and StretchBlt.

#include "gdi_private.h"

#include <algorithm>
#include <cstring>

namespace {

GdiBitmap* NewBitmap(int width, int height) {
    auto* bitmap = new GdiBitmap;
    bitmap->pixels.assign((size_t)width * height, 0);
    bitmap->map.pixels = bitmap->pixels.data();
    bitmap->map.width = width;
    bitmap->map.height = height;
    bitmap->map.pitch = width;
    return bitmap;
}

} // namespace

// The 1 by 1 bitmap a new memory DC holds (black, like Windows' stock
// monochrome bitmap's only pixel).
GdiBitmap* GdiDefaultBitmap() {
    static GdiBitmap* stock = [] {
        GdiBitmap* bitmap = NewBitmap(1, 1);
        bitmap->stock = true;
        GdiRegisterObject(bitmap);
        return bitmap;
    }();
    return stock;
}

HBITMAP GdiCreateBitmap(int width, int height, const uint32_t* pixels) {
    if (width <= 0 || height <= 0 || !pixels) return nullptr;
    GdiBitmap* bitmap = NewBitmap(width, height);
    for (size_t i = 0; i < bitmap->pixels.size(); ++i)
        bitmap->pixels[i] = pixels[i] & 0x00FFFFFF;
    return GdiRegisterObject(bitmap);
}

// Copies (SRCCOPY) a source rectangle onto a destination rectangle, scaled
// by nearest neighbour; pixels outside either DC's target are left out.
BOOL WINAPI StretchBlt(HDC destHandle, int destX, int destY, int destWidth,
                       int destHeight, HDC sourceHandle, int sourceX,
                       int sourceY, int sourceWidth, int sourceHeight,
                       DWORD rop) {
    GdiDC* destDC = GdiLookupDC(destHandle);
    GdiDC* sourceDC = GdiLookupDC(sourceHandle);
    if (!destDC || !sourceDC || rop != SRCCOPY) return FALSE;
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0)
        return FALSE;
    const PixelMap* dest = GdiTarget(destDC);
    const PixelMap* source = GdiTarget(sourceDC);
    if (!dest || !source || !dest->pixels || !source->pixels) return FALSE;

    int x0 = std::max(destX, 0);
    int y0 = std::max(destY, 0);
    int x1 = std::min((int64_t)destX + destWidth, (int64_t)dest->width);
    int y1 = std::min((int64_t)destY + destHeight, (int64_t)dest->height);
    bool sameSize = destWidth == sourceWidth && destHeight == sourceHeight;
    for (int y = y0; y < y1; ++y) {
        int64_t sy = sourceY + (int64_t)(y - destY) * sourceHeight / destHeight;
        if (sy < 0 || sy >= source->height) continue;
        uint32_t* out = dest->pixels + (ptrdiff_t)y * dest->pitch;
        const uint32_t* in = source->pixels + (ptrdiff_t)sy * source->pitch;
        if (sameSize) {
            // One to one: copy the part of the row both targets hold.
            int64_t from = std::max<int64_t>(x0, (int64_t)destX - sourceX);
            int64_t to =
                std::min<int64_t>(x1, (int64_t)destX - sourceX + source->width);
            if (from < to)
                std::memmove(out + from, in + (sourceX + (from - destX)),
                             (size_t)(to - from) * sizeof(uint32_t));
            continue;
        }
        for (int x = x0; x < x1; ++x) {
            int64_t sx =
                sourceX + (int64_t)(x - destX) * sourceWidth / destWidth;
            if (sx >= 0 && sx < source->width) out[x] = in[sx];
        }
    }
    return TRUE;
}
