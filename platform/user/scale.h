// Inside the stand-in: a frame drawn into a window's surface, scaled with a
// bilinear filter to fit it and letterboxed, as the display shows it.
#ifndef QEL_PLATFORM_USER_SCALE_H
#define QEL_PLATFORM_USER_SCALE_H

#include <SDL.h>

#include <vector>

#include "../gdi/dc.h"

// Where a `width` by `height` picture goes in a surface of `targetWidth` by
// `targetHeight`: as large as fits, proportions kept, centred.
SDL_Rect UserLetterbox(int width, int height, int targetWidth,
                       int targetHeight);

// Draws the parts `rects` (in the frame's pixels) of `frame` into `target`
// at `place` (from UserLetterbox), each pixel as a whole frame drawn there
// would have it, and turns `rects` into the target's rectangles drawn: each
// grown by the filter's reach, so that no seam shows where they meet what
// was drawn before.
void UserDrawScaled(const PixelMap& frame, SDL_Surface* target,
                    const SDL_Rect& place, std::vector<SDL_Rect>& rects);

#endif
