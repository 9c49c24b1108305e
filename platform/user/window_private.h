// Inside the stand-in: what DirectDraw and the modal loops need of a window
// (presenting frames is presenter.h's).
#ifndef QEL_PLATFORM_USER_WINDOW_PRIVATE_H
#define QEL_PLATFORM_USER_WINDOW_PRIVATE_H

#include <windows.h>

#include "../gdi/dc.h"

// The picture every window shows: 1024 by 768, scaled and letterboxed on
// the real display.
enum { kScreenWidth = 1024, kScreenHeight = 768 };

// True when SDL's video runs on a real display (x11 or wayland), or when
// SDL_VIDEODRIVER was set on purpose (tests choose "offscreen").
bool UserHasDisplay();

// The main (first created, not yet destroyed) top-level window, or null.
HWND UserMainWindow();

#endif
