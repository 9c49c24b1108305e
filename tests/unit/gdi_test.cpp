// GDI text on pixel device contexts: colours, GBK, bold, extents, clipping.

#include <gtest/gtest.h>

#include "gdi/dc.h"

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

// Draws `text` with its cell's top left at (x, y); returns its extent.
SIZE Draw(Canvas& canvas, HFONT font, int x, int y, const std::string& text,
          COLORREF colour = RGB(0, 0, 0)) {
    HDC dc = GdiCreatePixelDC(canvas.map);
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    EXPECT_TRUE(TextOutA(dc, x, y, text.data(), (int)text.size()));
    SIZE size = {-1, -1};
    EXPECT_TRUE(
        GetTextExtentPoint32A(dc, text.data(), (int)text.size(), &size));
    GdiDeletePixelDC(dc);
    return size;
}

// Transparent text leaves its cell's background. Ink is the colour, its
// edges blended towards it; COLORREF is blue, green, red from the top.
TEST(GdiTextTest, TextIsDrawnInItsColourOverTheBackground) {
    auto Byte = [](uint32_t pixel, int s) { return (int)(pixel >> s & 0xFF); };
    struct Case {
        COLORREF colour;
        uint32_t ink;
    } cases[] = {{RGB(0, 0, 255), 0x0000FF}, {RGB(255, 0, 0), 0xFF0000}};
    for (const Case& c : cases) {
        Canvas canvas(150, 100);
        const int x = 7, y = 9;
        SIZE cell = Draw(canvas, Letters(), x, y, "i.", c.colour);
        const uint32_t under = kBackground;
        int ink = 0, background = 0;
        for (int py = 0; py < 100; ++py)
            for (int px = 0; px < 150; ++px) {
                uint32_t pixel = canvas.At(px, py);
                if (px < x || px >= x + cell.cx || py < y ||
                    py >= y + cell.cy) {
                    ASSERT_EQ(pixel, kBackground) << px << "," << py;
                    continue;
                }
                ink += pixel == c.ink;
                background += pixel == under;
                // Each channel the same part of the way from under to ink.
                double low = 1, high = 0;
                for (int s : {0, 8, 16}) {
                    double part = double(Byte(pixel, s) - Byte(under, s)) /
                                  (Byte(c.ink, s) - Byte(under, s));
                    low = std::min(low, part);
                    high = std::max(high, part);
                }
                ASSERT_TRUE(low >= 0 && high <= 1 && high - low < 0.1)
                    << px << "," << py;
            }
        EXPECT_GT(ink, 100);
        EXPECT_GT(background, cell.cx * cell.cy / 2);
    }
}

// Each glyph its own, dense strokes rather than a missing-glyph box or
// '?', about an em wide; the extent is the sum of the advances.
TEST(GdiTextTest, GbkTextDrawsItsChineseGlyphs) {
    HFONT hud = Font(kSongTi, 20);
    Canvas pause(60, 30), first(30, 30), second(30, 30), question(30, 30);
    SIZE both = Draw(pause, hud, 0, 0, "\xd4\xdd\xcd\xa3"); // 暂停
    SIZE one = Draw(first, hud, 0, 0, "\xd4\xdd");
    Draw(second, hud, 0, 0, "\xcd\xa3");
    Draw(question, hud, 0, 0, "?");
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
    Draw(heavy, bold, 0, 0, "\xd4\xdd");
    EXPECT_GT(heavy.Ink(), first.Ink() + 10);
    DeleteObject(bold);
    DeleteObject(hud);
}

// A canvas that sees part of the text shows the same pixels there as one
// that sees all of it, whichever edges cut it.
TEST(GdiTextTest, TextIsClippedAtEveryEdge) {
    Canvas whole(200, 100);
    const int ox = 30, oy = 20;
    Draw(whole, Letters(), ox, oy, "WAW");
    ASSERT_GT(whole.Ink(), 300);
    for (RECT part : {RECT{60, 40, 100, 70}, RECT{0, 0, 50, 40},
                      RECT{100, 50, 200, 100}, RECT{0, 60, 200, 80}}) {
        Canvas seen(part.right - part.left, part.bottom - part.top);
        Draw(seen, Letters(), ox - part.left, oy - part.top, "WAW");
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
        Draw(small, Letters(), p.x, p.y, "WAW");
    EXPECT_EQ(small.Ink(), 0); // nothing below it either
}

} // namespace
