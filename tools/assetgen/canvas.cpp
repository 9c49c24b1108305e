#include "canvas.h"

#include <algorithm>
#include <cmath>

Rgb MixColours(Rgb a, Rgb b, double t) {
    auto lerp = [t](int u, int v) {
        return static_cast<int>(std::lround(u + (v - u) * t));
    };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

namespace {

Uint32* Row(SDL_Surface* s, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) +
                                     y * s->pitch);
}

Uint32 Pack(Rgb c) {
    return (static_cast<Uint32>(c.r) << 16) | (static_cast<Uint32>(c.g) << 8) |
           static_cast<Uint32>(c.b);
}

Rgb Unpack(Uint32 p) {
    return {static_cast<int>((p >> 16) & 0xFF),
            static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}

// Distance from (px, py) to the edge of a rounded rectangle centred on
// (cx, cy) with half sizes hw, hh: negative inside.
double RoundedDistance(double px, double py, double cx, double cy, double hw,
                       double hh, double radius) {
    double qx = std::fabs(px - cx) - (hw - radius);
    double qy = std::fabs(py - cy) - (hh - radius);
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

bool DrawText(SDL_Surface* s, TTF_Font* font, const char* utf8, Rgb colour,
              double x, double cy, bool centred) {
    SDL_Color c = {static_cast<Uint8>(colour.r), static_cast<Uint8>(colour.g),
                   static_cast<Uint8>(colour.b), 255};
    SDL_Surface* text = TTF_RenderUTF8_Blended(font, utf8, c);
    if (!text) return false;
    SDL_SetSurfaceBlendMode(text, SDL_BLENDMODE_BLEND);
    double left = centred ? x - text->w / 2.0 : x;
    SDL_Rect at = {static_cast<int>(std::lround(left)),
                   static_cast<int>(std::lround(cy - text->h / 2.0)), 0, 0};
    bool ok = SDL_BlitSurface(text, nullptr, s, &at) == 0;
    SDL_FreeSurface(text);
    return ok;
}

} // namespace

SDL_Surface* CreateCanvas(int width, int height, Rgb colour) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32,
                                                    SDL_PIXELFORMAT_RGB888);
    if (s) FillRect(s, 0, 0, width, height, colour);
    return s;
}

void FillRect(SDL_Surface* s, int x0, int y0, int x1, int y1, Rgb colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, s->w);
    y1 = std::min(y1, s->h);
    Uint32 p = Pack(colour);
    for (int y = y0; y < y1; ++y)
        std::fill(Row(s, y) + x0, Row(s, y) + x1, p);
}

void FillRoundedRect(SDL_Surface* s, double x, double y, double w, double h,
                     double radius, Rgb top, Rgb bottom) {
    double cx = x + w / 2, cy = y + h / 2;
    int x0 = std::max(0, static_cast<int>(std::floor(x)));
    int y0 = std::max(0, static_cast<int>(std::floor(y)));
    int x1 = std::min(s->w, static_cast<int>(std::ceil(x + w)));
    int y1 = std::min(s->h, static_cast<int>(std::ceil(y + h)));
    for (int py = y0; py < y1; ++py) {
        Rgb colour =
            MixColours(top, bottom, std::clamp((py + 0.5 - y) / h, 0.0, 1.0));
        Uint32* row = Row(s, py);
        for (int px = x0; px < x1; ++px) {
            double d = RoundedDistance(px + 0.5, py + 0.5, cx, cy, w / 2, h / 2,
                                       radius);
            double cover = std::clamp(0.5 - d, 0.0, 1.0);
            if (cover <= 0) continue;
            row[px] = cover >= 1
                          ? Pack(colour)
                          : Pack(MixColours(Unpack(row[px]), colour, cover));
        }
    }
}

bool DrawTextCentred(SDL_Surface* s, TTF_Font* font, const char* utf8,
                     Rgb colour, double cx, double cy) {
    return DrawText(s, font, utf8, colour, cx, cy, true);
}

bool DrawTextLeft(SDL_Surface* s, TTF_Font* font, const char* utf8, Rgb colour,
                  int x, double cy) {
    return DrawText(s, font, utf8, colour, x, cy, false);
}
