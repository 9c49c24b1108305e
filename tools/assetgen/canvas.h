// Drawing onto a 32-bit SDL surface for the generated pictures: filled and
// rounded rectangles with anti-aliased edges, and text through SDL_ttf.
#ifndef QEL_ASSETGEN_CANVAS_H
#define QEL_ASSETGEN_CANVAS_H

#include <SDL.h>
#include <SDL_ttf.h>

struct Rgb {
    int r, g, b;
};

// Rgb a + (b - a) x t, t from 0 to 1.
Rgb MixColours(Rgb a, Rgb b, double t);

// A new surface in XRGB8888, filled with colour; null on failure.
SDL_Surface* CreateCanvas(int width, int height, Rgb colour);

// The pixels x0 <= x < x1, y0 <= y < y1, exactly; no blending.
void FillRect(SDL_Surface* s, int x0, int y0, int x1, int y1, Rgb colour);

// A rectangle with corners of the given radius, the colour running from
// top to bottom; edge pixels are blended by the share of them covered.
void FillRoundedRect(SDL_Surface* s, double x, double y, double w, double h,
                     double radius, Rgb top, Rgb bottom);

// Text centred on (cx, cy), blended onto the surface; false if the font
// cannot render it.
bool DrawTextCentred(SDL_Surface* s, TTF_Font* font, const char* utf8,
                     Rgb colour, double cx, double cy);

// Text with its left edge at x and centred vertically on cy.
bool DrawTextLeft(SDL_Surface* s, TTF_Font* font, const char* utf8, Rgb colour,
                  int x, double cy);

#endif
