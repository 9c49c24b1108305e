// Inside the stand-in: what changed between two frames, as a few rectangles
// for the X server, so that a present sends only those.
#ifndef QEL_PLATFORM_USER_DAMAGE_H
#define QEL_PLATFORM_USER_DAMAGE_H

#include <SDL.h>

#include <vector>

#include "../gdi/dc.h"

// Each rectangle is one request to the X server: past this many, a present
// sends fewer and larger ones.
enum { kDamageMaxRects = 32 };

// Sets `rects` (in the maps' pixels) to cover every pixel in which `now`
// differs from `before`, a map of the same size: the changed tiles of 32 by
// 16 pixels, joined where they line up; when that takes more than
// kDamageMaxRects, each band of 16 rows from its first changed tile to its
// last, neighbours joined. Empty when the two are equal.
void UserFindDamage(const PixelMap& now, const PixelMap& before,
                    std::vector<SDL_Rect>& rects);

// Copies the `rects` of `from` into `to`, a map of the same size.
void UserCopyRects(const PixelMap& from, const PixelMap& to,
                   const std::vector<SDL_Rect>& rects);

#endif
