// Text drawn with GDI onto DirectDraw surfaces, and the two fonts created
// at the end of the display set-up.
#ifndef QEL_DISPLAY_SURFACE_TEXT_H
#define QEL_DISPLAY_SURFACE_TEXT_H

#include <windows.h>
#include <ddraw.h>

#include <string>

extern HFONT hLetterFont;
extern HFONT hHudFont;

// Creates hLetterFont ("Arial", 60) then hHudFont ("宋体", 20) from one
// zeroed LOGFONTA. The results are not tested.
void CreateTextFonts();

void DrawSurfaceText(LPDIRECTDRAWSURFACE7 surface, std::string text, int x,
                     int y, COLORREF color, int bkMode);
void DrawSurfaceTextFont(LPDIRECTDRAWSURFACE7 surface, std::string text, int x,
                         int y, COLORREF color, int bkMode, HFONT font);

#endif
