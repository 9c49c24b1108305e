// Drawing a frame into a window's surface with pixman, the X server's own
// pixel engine: a bilinear filter keeps the text legible when the frame is
// scaled up, and its SIMD paths keep that cheap.
#include "scale.h"

#include <pixman.h>

#include <algorithm>

namespace {

// The pixman format of an SDL window surface (those X and Wayland give);
// 0 for another.
pixman_format_code_t PixmanFormat(Uint32 format) {
    switch (format) {
    case SDL_PIXELFORMAT_RGB888:
        return PIXMAN_x8r8g8b8;
    case SDL_PIXELFORMAT_ARGB8888:
        return PIXMAN_a8r8g8b8;
    case SDL_PIXELFORMAT_BGR888:
        return PIXMAN_x8b8g8r8;
    case SDL_PIXELFORMAT_RGB565:
        return PIXMAN_r5g6b5;
    default:
        return (pixman_format_code_t)0;
    }
}

// The target pixels [*from, *to) along one axis that a frame of `size`
// pixels shown over `shown` pixels draws from frame pixels [first, end):
// scaled, each filtered pixel takes in its source neighbours, so two
// frame pixels more either side.
void Reach(int first, int end, int size, int shown, int* from, int* to) {
    if (size == shown) {
        *from = first;
        *to = end;
        return;
    }
    int64_t low = std::max(first - 2, 0), high = std::min(end + 2, size);
    *from = (int)(low * shown / size);
    *to = (int)((high * shown + size - 1) / size);
}

// Frame pixels a target pixel, in pixman's 16.16 fixed point.
pixman_fixed_t Ratio(int size, int shown) {
    return (pixman_fixed_t)((((int64_t)size << 16) + shown / 2) / shown);
}

// For a surface pixman does not know: the whole frame, through SDL's own
// blit (nearest neighbour).
void DrawWithSdl(const PixelMap& frame, SDL_Surface* target, SDL_Rect place,
                 std::vector<SDL_Rect>& rects) {
    rects.assign(1, place);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        frame.pixels, frame.width, frame.height, 32, frame.pitch * 4,
        SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    SDL_BlitScaled(source, nullptr, target, &place);
    SDL_FreeSurface(source);
}

} // namespace

SDL_Rect UserLetterbox(int width, int height, int targetWidth,
                       int targetHeight) {
    SDL_Rect place;
    if ((int64_t)targetWidth * height <= (int64_t)targetHeight * width) {
        place.w = targetWidth;
        place.h = (int)((int64_t)targetWidth * height / width);
    } else {
        place.h = targetHeight;
        place.w = (int)((int64_t)targetHeight * width / height);
    }
    place.x = (targetWidth - place.w) / 2;
    place.y = (targetHeight - place.h) / 2;
    return place;
}

void UserDrawScaled(const PixelMap& frame, SDL_Surface* target,
                    const SDL_Rect& place, std::vector<SDL_Rect>& rects) {
    // A window too small for a pixel of the frame shows none of it.
    if (place.w <= 0 || place.h <= 0) {
        rects.clear();
        return;
    }
    pixman_format_code_t format = PixmanFormat(target->format->format);
    pixman_image_t* source =
        format ? pixman_image_create_bits(PIXMAN_x8r8g8b8, frame.width,
                                          frame.height, frame.pixels,
                                          frame.pitch * 4)
               : nullptr;
    pixman_image_t* dest =
        source
            ? pixman_image_create_bits(format, target->w, target->h,
                                       (uint32_t*)target->pixels, target->pitch)
            : nullptr;
    if (!dest) {
        if (source) pixman_image_unref(source);
        DrawWithSdl(frame, target, place, rects);
        return;
    }
    if (place.w != frame.width || place.h != frame.height) {
        pixman_transform_t scale;
        pixman_transform_init_scale(&scale, Ratio(frame.width, place.w),
                                    Ratio(frame.height, place.h));
        pixman_image_set_transform(source, &scale);
        pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        // The edge pixels blend with themselves, not with black past them.
        pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
    }
    for (SDL_Rect& r : rects) {
        int left, right, top, bottom;
        Reach(r.x, r.x + r.w, frame.width, place.w, &left, &right);
        Reach(r.y, r.y + r.h, frame.height, place.h, &top, &bottom);
        r = {place.x + left, place.y + top, right - left, bottom - top};
        // Each target pixel samples the transformed frame at its own
        // centre, wherever the rectangle starts: no seams.
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, dest, left,
                                 top, 0, 0, r.x, r.y, r.w, r.h);
    }
    pixman_image_unref(dest);
    pixman_image_unref(source);
}
