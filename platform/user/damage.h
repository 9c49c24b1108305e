// Inside the stand-in: what changed between two frames, as a few rectangles
// for the X server, so that a present sends only those.
#ifndef QEL_PLATFORM_USER_DAMAGE_H
#define QEL_PLATFORM_USER_DAMAGE_H

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../gdi/dc.h"

// One drawing call on a frame: what it drew, and the box of pixels it may
// have changed. Two calls that are equal drew the same pixels in the same
// place (given what lay under them).
struct UserDrawOp {
    enum Kind : uint8_t { Fill, KeyedCopy, Text, Other } kind = Other;
    SDL_Rect box = {0, 0, 0, 0}; // in the frame's pixels, clipped to it
    uint32_t value = 0;          // fill: the pixel; text: the colour
    uint64_t source = 0;         // copy: the source surface; text: the font;
                                 // other: a serial of its own, never equal
    uint64_t version = 0;        // copy: the source's pixels' version
    int x = 0, y = 0;            // text: where its cell starts
    std::string text;            // text: its bytes
    bool operator==(const UserDrawOp& o) const {
        return kind == o.kind && kind != Other && box.x == o.box.x &&
               box.y == o.box.y && box.w == o.box.w && box.h == o.box.h &&
               value == o.value && source == o.source && version == o.version &&
               x == o.x && y == o.y && text == o.text;
    }
};

// What a frame's drawing calls did since the last fill of the whole frame:
// `whole` when there was one, so that the calls in `ops`, in order, made
// every pixel of it.
struct UserDrawing {
    bool whole = false;
    std::vector<UserDrawOp> ops;
};

// Sets `rects` to boxes that hold every pixel in which a frame drawn by
// `now` may differ from one drawn by `before`: the boxes of the calls the
// one made and the other did not, matched in order. A call that replaced
// one in the same place (a letter one pixel lower) gives one box for both
// when they overlap enough for that to cost no more. False, with `rects`
// unset, when either drawing is not whole.
bool UserDrawingDamage(const UserDrawing& now, const UserDrawing& before,
                       std::vector<SDL_Rect>& rects);

// Shrinks each of `rects` to the smallest box of its pixels in which `now`
// and `before` (maps of the same size) differ, dropping those where none
// does: pixels are looked at only inside `rects`.
void UserTrimDamage(const PixelMap& now, const PixelMap& before,
                    std::vector<SDL_Rect>& rects);

// For a frame whose drawing is not known: past this many rectangles found
// by comparing the whole frame, a present sends fewer and larger ones.
enum { kDamageMaxRects = 32 };

// Sets `rects` (in the maps' pixels) to cover every pixel in which `now`
// differs from `before`, a map of the same size, comparing them whole: the
// changed tiles of 32 by 16 pixels, joined where they line up; when that
// takes more than kDamageMaxRects, each band of 16 rows from its first
// changed tile to its last, neighbours joined. Empty when the two are equal.
void UserFindDamage(const PixelMap& now, const PixelMap& before,
                    std::vector<SDL_Rect>& rects);

// Copies the `rects` of `from` into `to`, a map of the same size.
void UserCopyRects(const PixelMap& from, const PixelMap& to,
                   const std::vector<SDL_Rect>& rects);

#endif
