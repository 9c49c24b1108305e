// Inside the stand-in: what DirectDraw and the modal loops need of a window.
#ifndef QEL_PLATFORM_USER_WINDOW_INTERNAL_H
#define QEL_PLATFORM_USER_WINDOW_INTERNAL_H

#include <windows.h>

#include "../gdi/dc.h"

// The picture every window shows: 1024 by 768, scaled and letterboxed on
// the real display.
enum { kScreenWidth = 1024, kScreenHeight = 768 };

// True when SDL's video runs on a real display (x11 or wayland), or when
// SDL_VIDEODRIVER was set on purpose (tests choose "offscreen").
bool UserHasDisplay();

// Shows `frame` (kScreenWidth by kScreenHeight) in the window and keeps a
// copy as the window's screen, which menus and dialogs are drawn over.
// Paced by the display's refresh as a real flip is, unless tests turn it
// off. Does nothing for a destroyed or unknown window.
void UserPresentFrame(HWND window, const PixelMap& frame);

// The frame last presented (black before the first). The window keeps a
// reference to the presented pixels rather than a copy, so the owner of
// those pixels calls UserForgetFrame before freeing them.
const PixelMap* UserScreen(HWND window);
void UserForgetFrame(const uint32_t* pixels);

// The main (first created, not yet destroyed) top-level window, or null.
HWND UserMainWindow();

#endif
