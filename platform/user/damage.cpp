// Finding what changed between two frames. The game clears and redraws its
// whole frame every pass, so what changed is found by comparing pixels:
// whole rows first (most are as they were), then the tiles of a row that
// differs.
#include "damage.h"

#include <algorithm>
#include <cstring>

namespace {

const int kTileWidth = 32, kTileHeight = 16;

// A band's first and last changed tile column (first > last: none).
struct Span {
    int first, last;
};

// Whether the tile rows at `a` and `b`, kTileWidth pixels each, differ:
// four pixels at a time, with no call (a row that changed asks this of
// every tile not yet found changed).
typedef long long FourPixels __attribute__((vector_size(16), aligned(4)));
inline bool TileRowDiffers(const uint32_t* a, const uint32_t* b) {
    FourPixels diff = {};
    for (int x = 0; x < kTileWidth; x += 4)
        diff |= *(const FourPixels*)(a + x) ^ *(const FourPixels*)(b + x);
    return (diff[0] | diff[1]) != 0;
}

// Flags in `dirty`, one a tile column, the tiles of rows top to top + rows
// in which `now` and `before` differ.
void CompareBand(const PixelMap& now, const PixelMap& before, int top, int rows,
                 std::vector<char>& dirty) {
    const int columns = (int)dirty.size();
    int found = 0;
    for (int y = top; y < top + rows && found < columns; ++y) {
        const uint32_t* a = now.pixels + (size_t)y * now.pitch;
        const uint32_t* b = before.pixels + (size_t)y * before.pitch;
        if (std::memcmp(a, b, sizeof(uint32_t) * (size_t)now.width) == 0)
            continue;
        for (int column = 0; column < columns; ++column) {
            if (dirty[(size_t)column]) continue;
            int x = column * kTileWidth;
            bool differs =
                x + kTileWidth <= now.width
                    ? TileRowDiffers(a + x, b + x)
                    : std::memcmp(a + x, b + x,
                                  sizeof(uint32_t) * (size_t)(now.width - x));
            if (differs) {
                dirty[(size_t)column] = 1;
                ++found;
            }
        }
    }
}

// Adds a band's `rect` to `rects`: a rectangle of the band above (listed in
// `above`) with the same columns grows down over it; `below` lists the
// rectangles that reach the band's bottom.
void Join(std::vector<SDL_Rect>& rects, const std::vector<size_t>& above,
          std::vector<size_t>& below, const SDL_Rect& rect) {
    for (size_t i : above)
        if (rects[i].x == rect.x && rects[i].w == rect.w) {
            rects[i].h += rect.h;
            below.push_back(i);
            return;
        }
    below.push_back(rects.size());
    rects.push_back(rect);
}

} // namespace

void UserFindDamage(const PixelMap& now, const PixelMap& before,
                    std::vector<SDL_Rect>& rects) {
    rects.clear();
    const int columns = (now.width + kTileWidth - 1) / kTileWidth;
    std::vector<char> dirty((size_t)columns);
    std::vector<Span> spans;
    std::vector<size_t> above, below;
    for (int top = 0; top < now.height; top += kTileHeight) {
        const int rows = std::min(kTileHeight, now.height - top);
        std::fill(dirty.begin(), dirty.end(), 0);
        CompareBand(now, before, top, rows, dirty);
        spans.push_back({columns, -1});
        below.clear();
        for (int c = 0; c < columns;) {
            if (!dirty[(size_t)c]) {
                ++c;
                continue;
            }
            int end = c;
            while (end < columns && dirty[(size_t)end])
                ++end;
            spans.back() = {std::min(spans.back().first, c), end - 1};
            int right = std::min(end * kTileWidth, now.width);
            Join(rects, above, below,
                 {c * kTileWidth, top, right - c * kTileWidth, rows});
            c = end;
        }
        above.swap(below);
    }
    if (rects.size() <= kDamageMaxRects) return;

    // Too many: one span a band, then neighbours in pairs until few enough.
    rects.clear();
    above.clear();
    for (size_t band = 0; band < spans.size(); ++band) {
        below.clear();
        const Span& span = spans[band];
        if (span.first <= span.last) {
            int top = (int)band * kTileHeight;
            int left = span.first * kTileWidth;
            int right = std::min((span.last + 1) * kTileWidth, now.width);
            Join(rects, above, below,
                 {left, top, right - left,
                  std::min(kTileHeight, now.height - top)});
        }
        above.swap(below);
    }
    while (rects.size() > kDamageMaxRects) {
        size_t kept = 0;
        for (size_t i = 0; i < rects.size(); i += 2, ++kept) {
            rects[kept] = rects[i];
            if (i + 1 < rects.size())
                SDL_UnionRect(&rects[i], &rects[i + 1], &rects[kept]);
        }
        rects.resize(kept);
    }
}

void UserCopyRects(const PixelMap& from, const PixelMap& to,
                   const std::vector<SDL_Rect>& rects) {
    for (const SDL_Rect& r : rects)
        for (int y = r.y; y < r.y + r.h; ++y)
            std::memcpy(to.pixels + (size_t)y * to.pitch + r.x,
                        from.pixels + (size_t)y * from.pitch + r.x,
                        sizeof(uint32_t) * (size_t)r.w);
}
