// Inside the stand-in: the presenter, which owns what a window shows.
//
// How a frame reaches the screen: the game draws into the back buffer, each
// fill, keyed copy and text noting what it drew (UserDrawing); Flip hands
// the frame and that drawing here. The presenter matches the drawing with
// the one of the frame it showed last, compares pixels only inside the
// boxes of the calls that differ, scales what differs into the window's
// surface (bilinear, each box grown by the filter's reach) and sends those
// boxes to the X server. At 1:1 the window lends its surface's memory to
// the chain, so the game draws straight into it and nothing is copied.
// Menus, dialogs, resizes and uncovered windows come here too, and send the
// whole window.
#ifndef QEL_PLATFORM_USER_PRESENTER_H
#define QEL_PLATFORM_USER_PRESENTER_H

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "damage.h"
#include "window_private.h"

// The borrower of a window's screen memory gives the frame back: it copies
// the pixels out and returns where they now are (same pitch).
typedef uint32_t* (*UserTakeBackScreen)(void* borrower);

// What a window shows and what the X server has of it, one a window.
struct UserPresenter {
    const PixelMap* frame = nullptr; // last presented, not owned
    PixelMap frameView;
    std::vector<uint32_t> black; // shown before the first frame
    PixelMap blackView;
    // The window surface's memory while it is lent (UserLendScreen).
    uint32_t* lentPixels = nullptr;
    int lentPitch = 0;
    UserTakeBackScreen takeBack = nullptr;
    void* borrower = nullptr;
    // What the X server shows, for presents that send only what changed:
    // the surface last drawn into, and whether it shows `frame` unchanged
    // since; while lent, a copy of the frame last sent (the game draws the
    // next one over the surface's).
    SDL_Surface* shownSurface = nullptr;
    int shownWidth = 0, shownHeight = 0;
    bool showsFrame = false;
    std::vector<uint32_t> lentShown;
    bool lentShownValid = false;
    // How `frame` was drawn, when its flip said so.
    UserDrawing drawing;
    bool drawingKnown = false;
};

// Shows `frame` (kScreenWidth by kScreenHeight) in the window and keeps it
// as the window's screen, which menus and dialogs are drawn over. Only what
// differs from the frame shown before is sent to the X server, so that
// frame's pixels must be as they were shown (the other buffer of a flip);
// `drawing`, when given, says how the frame was drawn, and only the boxes
// where it differs from the last frame's are looked at. A first frame, a
// resized or uncovered window, or a frame after anything else was shown is
// sent whole. Paced by the display's refresh as a real flip is, unless
// tests turn it off. Does nothing for a destroyed or unknown window.
void UserPresentFrame(HWND window, const PixelMap& frame,
                      const UserDrawing* drawing);

// The frame last presented (black before the first). The window keeps a
// reference to the presented pixels rather than a copy, so the owner of
// those pixels calls UserForgetFrame before freeing them.
const PixelMap* UserScreen(HWND window);
void UserForgetFrame(const uint32_t* pixels);
// Draws the last frame of `window` into `out` (a composition buffer).
void UserCopyScreen(HWND window, std::vector<uint32_t>& out);

// Shows `pixels` (1024 by 768, a menu or dialog over the game, or the frame
// again) in the window's SDL window, scaled and letterboxed, all of it;
// paced by the refresh unless tests turned pacing off.
void UserShowPixels(HWND window, const PixelMap& pixels);
// The SDL window with id `id` changed size (its surface is no longer valid)
// or was uncovered (the X server lost part of its picture): the next
// present sends everything.
void UserWindowChanged(uint32_t id);

// The window's own screen memory, lent to a flipping chain (the primary and
// its back buffer) so that a frame drawn there is shown without a copy, as
// a real flip shows video memory: 1024 by 768 XRGB, rows `*pitch` (1024)
// pixels apart, holding the frame shown last. Null when the window can't
// lend it (hidden, scaled, another pixel format, lent already). Before that
// memory goes away or is drawn over, the presenter calls
// `takeBack(borrower)`.
uint32_t* UserLendScreen(HWND window, int* pitch, UserTakeBackScreen takeBack,
                         void* borrower);
// Ends the loan without a call back (the borrower can't take it).
void UserEndLoan(HWND window, void* borrower);
// Ends the loan, the borrower copying the frame out first; the window's
// frame follows it. Called before the memory is drawn over, resized or
// freed, and by a borrower going away.
void UserTakeBackLoan(HWND window);
// Shows the lent screen memory, drawn as `drawing` says, as the window's
// new frame (UserPresentFrame without the copy); false when the window
// could not, and took it back.
bool UserPresentLent(HWND window, const UserDrawing& drawing);

// Forgets the count of presents and the tests' copy of the last one.
void UserResetPresents();

#endif
