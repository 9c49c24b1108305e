// Inside the stand-in: what DirectDraw and the modal loops need of a window.
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

// Shows `frame` (kScreenWidth by kScreenHeight) in the window and keeps it
// as the window's screen, which menus and dialogs are drawn over. Only what
// differs from the frame shown before is sent to the X server, so that
// frame's pixels must be as they were shown (the other buffer of a flip);
// a first frame, a resized or uncovered window, or a frame after anything
// else was shown is sent whole. Paced by the display's refresh as a real
// flip is, unless tests turn it off. Does nothing for a destroyed or
// unknown window.
void UserPresentFrame(HWND window, const PixelMap& frame);

// The frame last presented (black before the first). The window keeps a
// reference to the presented pixels rather than a copy, so the owner of
// those pixels calls UserForgetFrame before freeing them.
const PixelMap* UserScreen(HWND window);
void UserForgetFrame(const uint32_t* pixels);

// The window's own screen memory, lent to a flipping chain (the primary and
// its back buffer) so that a frame drawn there is shown without a copy, as
// a real flip shows video memory: 1024 by 768 XRGB, rows `*pitch` (1024)
// pixels apart, holding the frame shown last. Null when the window can't
// lend it (hidden, scaled, another pixel format, lent already). Before that
// memory goes away or is drawn over, the window calls `takeBack(borrower)`,
// which must copy the pixels out and return where they now are (same pitch).
typedef uint32_t* (*UserTakeBackScreen)(void* borrower);
uint32_t* UserLendScreen(HWND window, int* pitch, UserTakeBackScreen takeBack,
                         void* borrower);
// Ends the loan without a call back (the borrower can't take it).
void UserEndLoan(HWND window, void* borrower);
// Ends the loan, the borrower copying the frame out first; the window's
// frame follows it. Called before the memory is drawn over, resized or
// freed, and by a borrower going away.
void UserTakeBackLoan(HWND window);
// Shows the lent screen memory as the window's new frame (UserPresentFrame
// without the copy, sending only what changed); false when the window could
// not, and took it back.
bool UserPresentLent(HWND window);

// The main (first created, not yet destroyed) top-level window, or null.
HWND UserMainWindow();

#endif
