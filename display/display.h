// The DirectDraw display: the object, its three surfaces and their set-up.
#ifndef QEL_DISPLAY_DISPLAY_H
#define QEL_DISPLAY_DISPLAY_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

extern LPDIRECTDRAW7 lpDD;
extern LPDIRECTDRAWSURFACE7 lpDDprimary;
extern LPDIRECTDRAWSURFACE7 lpDDback;
extern LPDIRECTDRAWSURFACE7 lpDDbmp1;
extern int32_t nPictureWidth;
extern int32_t nPictureHeight;

// Starts the sound effects, sets up the display and its surfaces, loads the
// keyboard picture and creates the fonts. 0, or the failing call's result.
HRESULT InitDirectX(HWND window);

#endif
