// Text output: TextOutA and GetTextExtentPoint32A.

#include "gdi_private.h"

#include "../trace/trace.h"

#include "../kernel/codepage.h"

#include <algorithm>
#include <cstdint>

namespace {

// The text's code points: ASCII as it is (the HUD's digits and Latin), the
// rest through code page 936.
std::vector<uint32_t> CodePoints(const char* text, int length) {
    std::vector<uint32_t> codePoints;
    int ascii = 0;
    while (ascii < length && (unsigned char)text[ascii] < 0x80)
        ++ascii;
    if (ascii == length) return std::vector<uint32_t>(text, text + length);
    Utf8ToCodePoints(AnsiToUtf8(text, (size_t)length), &codePoints);
    return codePoints;
}

GdiFont* CurrentFont(const GdiDC* dc) {
    return dc->font ? dc->font : GdiDefaultFont();
}

int64_t TextWidth(GdiFont* font, const std::vector<uint32_t>& codePoints) {
    int64_t width = 0;
    for (uint32_t c : codePoints)
        width += GdiFontGlyph(font, c).advance;
    return width;
}

// Blends `length` pixels by their coverage towards `color`.
inline void BlendRun(uint32_t* out, const uint8_t* coverage, int64_t length,
                     uint32_t color) {
    const uint32_t redBlue = color & 0x00FF00FF, green = color >> 8 & 0xFF;
    for (; length > 0; --length, ++out) {
        // Red and blue share one multiply, each in its own 16 bits;
        // (v + 128 + ((v + 128) >> 8)) >> 8 is v / 255 rounded.
        uint32_t a = *coverage++, rest = 255 - a, pixel = *out;
        uint32_t rb = redBlue * a + (pixel & 0x00FF00FF) * rest + 0x00800080;
        rb = ((rb + (rb >> 8 & 0x00FF00FF)) >> 8) & 0x00FF00FF;
        uint32_t g = green * a + (pixel >> 8 & 0xFF) * rest + 128;
        g = (g + (g >> 8)) >> 8;
        *out = rb | g << 8;
    }
}

// Blends the glyph's ink in `color` onto the map with its ink box at
// (left, top), clipped to the map.
void BlendGlyph(const PixelMap& map, const GdiGlyph& glyph, int64_t left,
                int64_t top, uint32_t color) {
    if (left >= map.width || top >= map.height || left + glyph.width <= 0 ||
        top + glyph.height <= 0)
        return;
    const uint8_t* coverage = glyph.coverage.data();
    if (left >= 0 && top >= 0 && left + glyph.width <= map.width &&
        top + glyph.height <= map.height) {
        // Wholly inside, as nearly every glyph is: no clipping per run.
        uint32_t* origin = map.pixels + top * map.pitch + left;
        // The rows lie a pitch apart, far out of cache after the frame's
        // colour fill: ask for all of them at once rather than wait for
        // each in turn as the blending reads it.
        for (int row = 0; row < glyph.height; ++row) {
            uint32_t* line = origin + (ptrdiff_t)row * map.pitch;
            __builtin_prefetch(line, 1);
            __builtin_prefetch(line + glyph.width - 1, 1);
        }
        for (const GdiSpan& span : glyph.spans) {
            uint32_t* out = origin + (ptrdiff_t)span.row * map.pitch + span.x;
            if (span.solid)
                std::fill_n(out, span.length, color);
            else
                BlendRun(out, coverage + span.offset, span.length, color);
        }
        return;
    }
    for (const GdiSpan& span : glyph.spans) {
        int64_t y = top + span.row;
        if (y < 0 || y >= map.height) continue;
        int64_t start = left + span.x;
        int64_t x0 = std::max<int64_t>(start, 0);
        int64_t x1 = std::min<int64_t>(start + span.length, map.width);
        if (x0 >= x1) continue;
        uint32_t* out = map.pixels + y * map.pitch + x0;
        if (span.solid)
            std::fill_n(out, x1 - x0, color);
        else
            BlendRun(out, coverage + span.offset + (x0 - start), x1 - x0,
                     color);
    }
}

} // namespace

// Draws code page 936 text with the top left of its cell at (x, y) in the
// DC's font and text colour, clipped to the target. Every caller draws
// transparent text: the background mode is not looked at.
BOOL WINAPI TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
    TRACE(TRACE_GDI, "dc=%p (%d,%d) length=%d", (void*)handle, x, y, length);
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc) return FALSE;
    GdiFont* font = CurrentFont(dc);
    const PixelMap* map = GdiTarget(dc);
    if (!font || !map) return FALSE;
    const std::vector<uint32_t> codePoints = CodePoints(text, length);
    uint32_t color = GdiPixelFromColor(dc->textColor);
    int64_t pen = x;
    // The ink's box, for the DC's watcher.
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN,
            bottom = INT64_MIN;
    for (uint32_t c : codePoints) {
        const GdiGlyph& glyph = GdiFontGlyph(font, c);
        if (glyph.width > 0) {
            int64_t gx = pen + glyph.left, gy = (int64_t)y + glyph.top;
            BlendGlyph(*map, glyph, gx, gy, color);
            left = std::min(left, gx);
            top = std::min(top, gy);
            right = std::max(right, gx + glyph.width);
            bottom = std::max(bottom, gy + glyph.height);
        }
        pen += glyph.advance;
    }
    if (dc->noter) {
        GdiDrawNote note;
        note.kind = GdiDrawNote::Text;
        left = std::max<int64_t>(left, 0);
        top = std::max<int64_t>(top, 0);
        right = std::min<int64_t>(right, map->width);
        bottom = std::min<int64_t>(bottom, map->height);
        if (left < right && top < bottom)
            note.box = {(LONG)left, (LONG)top, (LONG)right, (LONG)bottom};
        note.font = font->serial;
        note.color = dc->textColor;
        note.x = x;
        note.y = y;
        note.text = text;
        note.length = length;
        GdiNoteDrawn(dc, note);
    }
    return TRUE;
}

// The width of the text in the DC's font and the font's cell height.
BOOL WINAPI GetTextExtentPoint32A(HDC handle, LPCSTR text, int length,
                                  LPSIZE size) {
    TRACE(TRACE_GDI, "dc=%p length=%d", (void*)handle, length);
    GdiDC* dc = GdiLookupDC(handle);
    GdiFont* font = dc ? CurrentFont(dc) : nullptr;
    if (!font) return FALSE;
    int64_t width = TextWidth(font, CodePoints(text, length));
    size->cx = (LONG)std::min<int64_t>(width, INT32_MAX);
    size->cy = font->cellHeight;
    return TRUE;
}
