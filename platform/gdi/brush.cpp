// Brushes and FillRect.

#include "gdi_private.h"

#include "../trace/trace.h"

#include <algorithm>

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
    TRACE(TRACE_GDI, "color=0x%06x", (unsigned)color);
    auto* brush = new GdiBrush;
    brush->color = color & 0x00FFFFFF;
    return GdiRegisterObject(brush);
}

// Paints the rectangle (right and bottom edges excluded) with the brush,
// clipped to the target.
int WINAPI FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
    TRACE(TRACE_GDI, "dc=%p rect=%s brush=%p", (void*)handle,
          TraceRect(rect).c_str(), (void*)brushHandle);
    GdiDC* dc = GdiLookupDC(handle);
    GdiObject* object = GdiLookupObject(brushHandle);
    if (!dc || !rect || !object || object->kind != GdiKind::Brush) return 0;
    const PixelMap* map = GdiTarget(dc);
    if (!map) return 0;
    GdiFillPixels(*map, rect->left, rect->top, rect->right, rect->bottom,
                  GdiPixelFromColor(static_cast<GdiBrush*>(object)->color));
    GdiNoteOther(dc, *map);
    return 1;
}
