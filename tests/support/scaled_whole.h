// How the presenter shows a frame in a window of any size, worked out
// whole by pixman: what the pictures it sends must add up to; and how much
// of the window it sent.
#ifndef QEL_TESTS_SCALED_WHOLE_H
#define QEL_TESTS_SCALED_WHOLE_H

#include <pixman.h>

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "testing/seams.h"

// `picture` (1024 by 768) as a window of `w` by `h` shows it: as large as
// fits, centred on black, scaled whole with a bilinear filter, the edge
// pixels repeated outward.
inline std::vector<uint32_t> ScaledWhole(const std::vector<uint32_t>& picture,
                                         int w, int h) {
    std::vector<uint32_t> out((size_t)w * h, 0);
    int pw = w, ph = (int)((int64_t)w * 768 / 1024);
    if (ph > h) ph = h, pw = (int)((int64_t)h * 1024 / 768);
    const int px = (w - pw) / 2, py = (h - ph) / 2;
    pixman_image_t* source = pixman_image_create_bits(
        PIXMAN_x8r8g8b8, 1024, 768, (uint32_t*)picture.data(), 1024 * 4);
    pixman_image_t* dest =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, out.data(), w * 4);
    if (pw != 1024 || ph != 768) {
        pixman_transform_t scale;
        pixman_transform_init_scale(
            &scale, (pixman_fixed_t)(((int64_t)1024 << 16) + pw / 2) / pw,
            (pixman_fixed_t)(((int64_t)768 << 16) + ph / 2) / ph);
        pixman_image_set_transform(source, &scale);
        pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
    }
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, dest, 0, 0, 0, 0,
                             px, py, pw, ph);
    pixman_image_unref(dest);
    pixman_image_unref(source);
    return out;
}

// The pixels of `shown` (w by h) that differ from `want` in colour, and the
// index of the first.
inline size_t PixelsWrong(const uint32_t* shown,
                          const std::vector<uint32_t>& want,
                          size_t* first = nullptr) {
    size_t wrong = 0;
    for (size_t i = 0; i < want.size(); ++i)
        if ((shown[i] ^ want[i]) & 0xFFFFFF)
            if (!wrong++ && first) *first = i;
    return wrong;
}

// The share of the window the last present sent.
inline double SentShare(SDL_Window* sdl) {
    double area = 0;
    for (const SDL_Rect& r : TestSentRects())
        area += (double)r.w * r.h;
    SDL_Surface* s = SDL_GetWindowSurface(sdl);
    return area / ((double)s->w * s->h);
}

#endif
