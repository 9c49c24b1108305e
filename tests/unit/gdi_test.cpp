// GDI text on pixel device contexts: colours, GBK, bold, extents, clipping.

#include <gtest/gtest.h>

#include "gdi_text.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const uint32_t kBackground = 0x00123456;
const char kSongTi[] = "\xcb\xce\xcc\xe5"; // 宋体

// Twice as many rows as it shows: those below must stay untouched.
struct Canvas {
    Canvas(int w, int h) : pixels((size_t)w * h * 2, kBackground) {
        map = {pixels.data(), w, h, w};
    }
    uint32_t At(int x, int y) const {
        return pixels[(size_t)y * map.pitch + x];
    }
    bool BelowUntouched() const {
        return std::count(pixels.begin() + pixels.size() / 2, pixels.end(),
                          kBackground) == (long)pixels.size() / 2;
    }
    int Ink() const {
        return (int)(pixels.size() -
                     std::count(pixels.begin(), pixels.end(), kBackground));
    }
    std::vector<uint32_t> pixels;
    PixelMap map;
};

HFONT Font(const char* face, LONG height, LONG weight = FW_NORMAL) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, face);
    return CreateFontIndirectA(&lf);
}

HFONT Letters() {
    static HFONT font = Font("Arial", 60);
    return font;
}

// Transparent text leaves its cell's background. Ink is the colour, its
// edges blended towards it; COLORREF is blue, green, red from the top.
TEST(GdiTextTest, TextIsDrawnInItsColourOverTheBackground) {
    auto Byte = [](uint32_t pixel, int s) { return (int)(pixel >> s & 0xFF); };
    Canvas canvas(150, 100);
    const int x = 7, y = 9;
    SIZE cell = DrawGdiText(canvas.map, Letters(), x, y, "i.", RGB(255, 0, 0));
    const uint32_t under = kBackground, ink = 0xFF0000;
    int inked = 0, background = 0;
    for (int py = 0; py < 100; ++py)
        for (int px = 0; px < 150; ++px) {
            uint32_t pixel = canvas.At(px, py);
            if (px < x || px >= x + cell.cx || py < y || py >= y + cell.cy) {
                ASSERT_EQ(pixel, kBackground) << px << "," << py;
                continue;
            }
            inked += pixel == ink;
            background += pixel == under;
            // Each channel the same part of the way from under to ink.
            double low = 1, high = 0;
            for (int s : {0, 8, 16}) {
                double part = double(Byte(pixel, s) - Byte(under, s)) /
                              (Byte(ink, s) - Byte(under, s));
                low = std::min(low, part);
                high = std::max(high, part);
            }
            ASSERT_TRUE(low >= 0 && high <= 1 && high - low < 0.1)
                << px << "," << py;
        }
    EXPECT_GT(inked, 100);
    EXPECT_GT(background, cell.cx * cell.cy / 2);
}

// Each glyph its own, dense strokes rather than a missing-glyph box or
// '?', about an em wide; the extent is the sum of the advances.
TEST(GdiTextTest, GbkTextDrawsItsChineseGlyphs) {
    HFONT hud = Font(kSongTi, 20);
    Canvas pause(60, 30), first(30, 30), second(30, 30), question(30, 30);
    SIZE both =
        DrawGdiText(pause.map, hud, 0, 0, "\xd4\xdd\xcd\xa3", 0); // 暂停
    SIZE one = DrawGdiText(first.map, hud, 0, 0, "\xd4\xdd", 0);
    DrawGdiText(second.map, hud, 0, 0, "\xcd\xa3", 0);
    DrawGdiText(question.map, hud, 0, 0, "?", 0);
    EXPECT_GT(first.Ink(), 60);
    EXPECT_GT(second.Ink(), 60);
    EXPECT_NE(first.pixels, second.pixels);
    EXPECT_NE(first.pixels, question.pixels);
    EXPECT_EQ(both.cx, 2 * one.cx);
    EXPECT_TRUE(one.cx >= 16 && one.cx <= 22) << one.cx;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < one.cx; ++x)
            ASSERT_EQ(pause.At(x, y), first.At(x, y)) << x << "," << y;
    // Bold, which the face lacks, is made from its glyphs.
    HFONT bold = Font(kSongTi, 20, FW_BOLD);
    Canvas heavy(30, 30);
    DrawGdiText(heavy.map, bold, 0, 0, "\xd4\xdd", 0);
    EXPECT_GT(heavy.Ink(), first.Ink() + 10);
    DeleteObject(bold);
    DeleteObject(hud);
}

// A canvas that sees part of the text shows the same pixels there as one
// that sees all of it, whichever edges cut it.
TEST(GdiTextTest, TextIsClippedAtEveryEdge) {
    Canvas whole(200, 100);
    const int ox = 30, oy = 20;
    DrawGdiText(whole.map, Letters(), ox, oy, "WAW", 0);
    ASSERT_GT(whole.Ink(), 300);
    for (RECT part : {RECT{60, 40, 100, 70}, RECT{0, 0, 50, 40},
                      RECT{100, 50, 200, 100}, RECT{0, 60, 200, 80}}) {
        Canvas seen(part.right - part.left, part.bottom - part.top);
        DrawGdiText(seen.map, Letters(), ox - part.left, oy - part.top, "WAW",
                    0);
        EXPECT_TRUE(seen.BelowUntouched());
        for (int y = 0; y < seen.map.height; ++y)
            for (int x = 0; x < seen.map.width; ++x)
                ASSERT_EQ(seen.At(x, y), whole.At(part.left + x, part.top + y))
                    << part.left << "," << part.top << ": " << x << "," << y;
    }
    // Wholly outside, however far: nothing.
    Canvas small(20, 20);
    for (POINT p :
         {POINT{-500, 0}, POINT{500, 0}, POINT{0, -500}, POINT{0, 500},
          POINT{INT32_MIN, INT32_MIN}, POINT{INT32_MAX - 10, INT32_MAX - 10}})
        DrawGdiText(small.map, Letters(), p.x, p.y, "WAW", 0);
    EXPECT_EQ(small.Ink(), 0); // nothing below it either
}

} // namespace
