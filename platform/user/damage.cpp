// Finding what changed between two frames. The game clears and redraws its
// whole frame every pass, but the surface notes each drawing call: calls
// that match the previous frame's drew the same pixels, so only the boxes
// of the others can differ, and only their pixels are compared. A frame
// whose drawing is not known is compared whole: rows first (most are as
// they were), then the tiles of a row that differs.
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

int64_t Area(const SDL_Rect& r) {
    return (int64_t)r.w * r.h;
}

void Add(std::vector<SDL_Rect>& rects, const SDL_Rect& box) {
    if (box.w > 0 && box.h > 0) rects.push_back(box);
}

// A call and the one that took its place: one box for both when it is no
// larger than the two apart.
void AddPair(std::vector<SDL_Rect>& rects, const SDL_Rect& a,
             const SDL_Rect& b) {
    SDL_Rect both;
    if (a.w > 0 && a.h > 0 && b.w > 0 && b.h > 0) {
        SDL_UnionRect(&a, &b, &both);
        if (Area(both) <= Area(a) + Area(b)) {
            rects.push_back(both);
            return;
        }
    }
    Add(rects, a);
    Add(rects, b);
}

// How far ahead a call is looked for in the other drawing: a letter knocked
// out, or one spawned, between calls that stayed.
const size_t kLookAhead = 4;

// The first of the `kLookAhead` calls from `from` in `ops` equal to `op`,
// or `from` when there is none.
size_t Find(const std::vector<UserDrawOp>& ops, size_t from,
            const UserDrawOp& op) {
    for (size_t k = from + 1; k < ops.size() && k <= from + kLookAhead; ++k)
        if (ops[k] == op) return k;
    return from;
}

// The rows of `r` in which the maps differ: first and one past the last.
bool DifferingRows(const PixelMap& a, const PixelMap& b, const SDL_Rect& r,
                   int* first, int* end) {
    const size_t bytes = sizeof(uint32_t) * (size_t)r.w;
    auto differs = [&](int y) {
        return std::memcmp(a.pixels + (size_t)y * a.pitch + r.x,
                           b.pixels + (size_t)y * b.pitch + r.x, bytes) != 0;
    };
    int y = r.y;
    while (y < r.y + r.h && !differs(y))
        ++y;
    if (y == r.y + r.h) return false;
    int last = r.y + r.h - 1;
    while (!differs(last))
        --last;
    *first = y;
    *end = last + 1;
    return true;
}

} // namespace

bool UserDrawingDamage(const UserDrawing& now, const UserDrawing& before,
                       std::vector<SDL_Rect>& rects) {
    if (!now.whole || !before.whole) return false;
    rects.clear();
    const std::vector<UserDrawOp>&a = before.ops, &b = now.ops;
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i == a.size()) {
            Add(rects, b[j++].box);
        } else if (j == b.size()) {
            Add(rects, a[i++].box);
        } else if (a[i] == b[j]) {
            ++i;
            ++j;
        } else if (size_t k = Find(a, i, b[j]); k != i) {
            while (i < k) // calls of the frame before that are gone
                Add(rects, a[i++].box);
        } else if (size_t k = Find(b, j, a[i]); k != j) {
            while (j < k) // calls that are new
                Add(rects, b[j++].box);
        } else {
            AddPair(rects, a[i++].box, b[j++].box);
        }
    }
    return true;
}

void UserTrimDamage(const PixelMap& now, const PixelMap& before,
                    std::vector<SDL_Rect>& rects) {
    size_t kept = 0;
    for (const SDL_Rect& r : rects) {
        int top, bottom;
        if (!DifferingRows(now, before, r, &top, &bottom)) continue;
        int left = r.x + r.w, right = r.x;
        for (int y = top; y < bottom; ++y) {
            const uint32_t* p = now.pixels + (size_t)y * now.pitch;
            const uint32_t* q = before.pixels + (size_t)y * before.pitch;
            int x = r.x;
            while (x < left && p[x] == q[x])
                ++x;
            if (x == r.x + r.w) continue; // this row is as it was
            left = x;
            int last = r.x + r.w - 1;
            while (last >= right && p[last] == q[last])
                --last;
            right = std::max(right, last + 1);
        }
        rects[kept++] = {left, top, right - left, bottom - top};
    }
    rects.resize(kept);
}

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
