// Text drawn with GDI onto DirectDraw surfaces, and the two fonts.
#ifndef QEL_DISPLAY_SURFACE_TEXT_H
#define QEL_DISPLAY_SURFACE_TEXT_H

#include <windows.h>
#include <ddraw.h>

#include <string>

extern HFONT hLetterFont;
extern HFONT hHudFont;

void DrawSurfaceText(LPDIRECTDRAWSURFACE7 surface, std::string text, int x,
                     int y, COLORREF color, int bkMode);
void DrawSurfaceTextFont(LPDIRECTDRAWSURFACE7 surface, std::string text, int x,
                         int y, COLORREF color, int bkMode, HFONT font);

#endif
