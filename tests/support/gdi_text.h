// Text drawn as GDI draws it on a fresh device context of a pixel map,
// transparent: what the game's text on a surface must look like.
#ifndef QEL_TESTS_GDI_TEXT_H
#define QEL_TESTS_GDI_TEXT_H

#include <windows.h>

#include <string>

#include "gdi/dc.h"

// `text` with its cell's top left at (x, y), in `font` (null: the
// context's stock font); returns its extent.
inline SIZE DrawGdiText(const PixelMap& map, HFONT font, int x, int y,
                        const std::string& text, COLORREF colour) {
    HDC dc = GdiCreatePixelDC(map);
    if (font) SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, text.c_str(), (int)text.size());
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
    GdiDeletePixelDC(dc);
    return size;
}

#endif
