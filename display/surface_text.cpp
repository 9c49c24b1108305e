// Text drawn with GDI onto DirectDraw surfaces, and the two fonts.

#include "display/surface_text.h"

#include <cstring>

HFONT hLetterFont;
HFONT hHudFont;

void CreateTextFonts() {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = 60;
    std::strcpy(lf.lfFaceName, "Arial");
    hLetterFont = CreateFontIndirectA(&lf);
    lf.lfHeight = 20;
    // "宋体"
    std::strcpy(lf.lfFaceName, "\xcb\xce\xcc\xe5");
    hHudFont = CreateFontIndirectA(&lf);
}

// In whatever font the surface's device context comes with.
void DrawSurfaceText(LPDIRECTDRAWSURFACE7 surface, std::string text, int x,
                     int y, COLORREF color, int bkMode) {
    HDC hdc = nullptr;
    surface->GetDC(&hdc);
    SetBkMode(hdc, bkMode);
    SetTextColor(hdc, color);
    TextOutA(hdc, x, y, text.c_str(), (int)text.length());
    surface->ReleaseDC(hdc);
}

// The font stays selected: the context is the surface's, fetched afresh by
// every call.
void DrawSurfaceTextFont(LPDIRECTDRAWSURFACE7 surface, std::string text, int x,
                         int y, COLORREF color, int bkMode, HFONT font) {
    HDC hdc = nullptr;
    surface->GetDC(&hdc);
    SetBkMode(hdc, bkMode);
    SetTextColor(hdc, color);
    SelectObject(hdc, font);
    TextOutA(hdc, x, y, text.c_str(), (int)text.length());
    surface->ReleaseDC(hdc);
}
