// Brushes and FillRect.

#include "gdi_private.h"

#include <algorithm>

namespace {

// The system colours a brush handle of COLOR_* + 1 stands for.
bool SystemColor(HBRUSH brush, COLORREF* color) {
    switch (reinterpret_cast<uintptr_t>(brush)) {
    case COLOR_WINDOW + 1:
        *color = RGB(255, 255, 255);
        return true;
    case 8 + 1: // COLOR_WINDOWTEXT
        *color = RGB(0, 0, 0);
        return true;
    case 15 + 1: // COLOR_BTNFACE
        *color = RGB(240, 240, 240);
        return true;
    }
    return false;
}

} // namespace

GdiBrush* GdiDefaultBrush() {
    static GdiBrush* white = [] {
        auto* brush = new GdiBrush;
        brush->stock = true;
        brush->color = RGB(255, 255, 255);
        GdiRegisterObject(brush);
        return brush;
    }();
    return white;
}

void GdiFillPixels(const PixelMap& map, int left, int top, int right,
                   int bottom, uint32_t pixel) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, map.width);
    bottom = std::min(bottom, map.height);
    if (!map.pixels || left >= right || top >= bottom) return;
    for (int y = top; y < bottom; ++y)
        std::fill_n(map.pixels + (ptrdiff_t)y * map.pitch + left, right - left,
                    pixel);
}

// A brush painting one colour.
HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto* brush = new GdiBrush;
    brush->color = color & 0x00FFFFFF;
    return GdiRegisterObject(brush);
}

// Paints the rectangle (right and bottom edges excluded) with the brush, or
// with a system colour given as COLOR_* + 1; clipped to the target.
int WINAPI FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc || !rect) return 0;
    COLORREF color;
    GdiObject* object = GdiLookupObject(brushHandle);
    if (object && object->kind == GdiKind::Brush)
        color = static_cast<GdiBrush*>(object)->color;
    else if (!SystemColor(brushHandle, &color))
        return 0;
    const PixelMap* map = GdiTarget(dc);
    if (!map) return 0;
    GdiFillPixels(*map, rect->left, rect->top, rect->right, rect->bottom,
                  GdiPixelFromColor(color));
    return 1;
}
