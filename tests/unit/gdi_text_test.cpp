// GDI text on pixel device contexts: fonts and their cell heights, code page
// 936 text, background modes, colours, clipping and the glyph cache.

#include <gtest/gtest.h>

#include "gdi/dc.h"
#include "testing/gdi.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const uint32_t kBackground = 0x00123456;

// A map of `width` by `height` pixels inside a frame of guard pixels that
// nothing may touch.
struct Canvas {
    static const int kGuard = 8;
    int width, height, pitch;
    std::vector<uint32_t> buffer;
    PixelMap map;

    Canvas(int w, int h)
        : width(w), height(h), pitch(w + 2 * kGuard),
          buffer((size_t)pitch * (h + 2 * kGuard), 0xDEADBEEF) {
        map.pixels = buffer.data() + kGuard * pitch + kGuard;
        map.width = w;
        map.height = h;
        map.pitch = pitch;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                At(x, y) = kBackground;
    }
    uint32_t& At(int x, int y) { return map.pixels[y * pitch + x]; }
    bool GuardsIntact() const {
        for (int y = 0; y < height + 2 * kGuard; ++y)
            for (int x = 0; x < pitch; ++x) {
                bool inside = x >= kGuard && x < kGuard + width &&
                              y >= kGuard && y < kGuard + height;
                if (!inside && buffer[(size_t)y * pitch + x] != 0xDEADBEEF)
                    return false;
            }
        return true;
    }
    int CountNot(uint32_t pixel) {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += At(x, y) != pixel;
        return n;
    }
    int Count(uint32_t pixel) { return width * height - CountNot(pixel); }
};

HFONT MakeFont(const char* face, LONG height) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = height;
    std::strcpy(lf.lfFaceName, face);
    return CreateFontIndirectA(&lf);
}

SIZE Extent(HDC dc, const char* text) {
    SIZE size = {-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text, (int)std::strlen(text), &size));
    return size;
}

const char kSongTi[] = "\xcb\xce\xcc\xe5"; // 宋体
const char kPause[] = "\xd4\xdd\xcd\xa3";  // 暂停

class GdiTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        objectsBefore = TestGdiLiveObjects();
        dcsBefore = TestGdiLiveDCs();
    }
    void TearDown() override {
        for (HFONT font : fonts)
            EXPECT_TRUE(DeleteObject(font));
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
        EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
    }
    HFONT Font(const char* face, LONG height) {
        HFONT font = MakeFont(face, height);
        EXPECT_NE(font, nullptr) << face;
        if (font) fonts.push_back(font);
        return font;
    }
    // Draws `text` on a fresh canvas-sized DC and deletes the DC again.
    void DrawBytes(Canvas& canvas, HFONT font, int x, int y, const char* text,
                   int length, COLORREF color = RGB(0, 0, 0),
                   int mode = TRANSPARENT) {
        HDC dc = GdiCreatePixelDC(canvas.map);
        if (font) SelectObject(dc, font);
        SetBkMode(dc, mode);
        SetTextColor(dc, color);
        SetBkColor(dc, RGB(0, 255, 0));
        EXPECT_TRUE(TextOutA(dc, x, y, text, length));
        GdiDeletePixelDC(dc);
    }
    void Draw(Canvas& canvas, HFONT font, int x, int y, const char* text,
              COLORREF color = RGB(0, 0, 0), int mode = TRANSPARENT) {
        DrawBytes(canvas, font, x, y, text, (int)std::strlen(text), color,
                  mode);
    }

    std::vector<HFONT> fonts;
    int objectsBefore = 0;
    int dcsBefore = 0;
};

TEST_F(GdiTextTest, FontsHaveTheAskedCellHeightAndTheRightFaces) {
    Canvas canvas(8, 8);
    HDC dc = GdiCreatePixelDC(canvas.map);

    HFONT arial = Font("Arial", 60);
    HFONT songTi = Font(kSongTi, 20);
    HFONT simSun = Font("SimSun", 20);
    EXPECT_NE(TestGdiFontFile(arial).find("Liberation"), std::string::npos)
        << TestGdiFontFile(arial);
    EXPECT_NE(TestGdiFontFile(songTi).find("wqy"), std::string::npos)
        << TestGdiFontFile(songTi);
    EXPECT_EQ(TestGdiFontFile(simSun), TestGdiFontFile(songTi));

    SelectObject(dc, arial);
    EXPECT_EQ(Extent(dc, "a").cy, 60);
    SelectObject(dc, songTi);
    EXPECT_EQ(Extent(dc, kPause).cy, 20);
    for (LONG height : {12, 16, 33}) {
        SelectObject(dc, Font("Arial", height));
        EXPECT_EQ(Extent(dc, "x").cy, height);
    }
    // A negative height is the em: the cell is taller.
    SelectObject(dc, Font("Arial", -20));
    LONG cell = Extent(dc, "x").cy;
    EXPECT_GT(cell, 20);
    EXPECT_LE(cell, 24);
    GdiDeletePixelDC(dc);
}

TEST_F(GdiTextTest, ExtentIsTheSumOfTheAdvances) {
    Canvas canvas(8, 8);
    HDC dc = GdiCreatePixelDC(canvas.map);
    SelectObject(dc, Font("Arial", 60));
    SIZE one = Extent(dc, "W");
    SIZE three = Extent(dc, "WWW");
    EXPECT_GT(one.cx, 30);
    EXPECT_EQ(three.cx, 3 * one.cx);
    EXPECT_EQ(Extent(dc, "").cx, 0);
    SelectObject(dc, Font(kSongTi, 20));
    // Two full-width characters, each about an em wide.
    SIZE chinese = Extent(dc, kPause);
    EXPECT_GE(chinese.cx, 2 * 14);
    EXPECT_LE(chinese.cx, 2 * 22);
    GdiDeletePixelDC(dc);
}

TEST_F(GdiTextTest, DefaultFontDrawsAPlainCellOfAboutSixteen) {
    Canvas canvas(120, 30);
    HDC dc = GdiCreatePixelDC(canvas.map);
    SIZE size = Extent(dc, "Dunmarl");
    EXPECT_GE(size.cy, 14);
    EXPECT_LE(size.cy, 18);
    EXPECT_GT(size.cx, 30);
    GdiDeletePixelDC(dc);
    Draw(canvas, nullptr, 2, 2, "Dunmarl", RGB(255, 0, 0));
    EXPECT_GT(canvas.CountNot(kBackground), 60);
    // The stock font has the Chinese glyphs too: dense strokes, no boxes.
    Canvas chinese(60, 30), other(60, 30);
    Draw(chinese, nullptr, 2, 2, kPause);
    Draw(other, nullptr, 2, 2, "\xd6\xd0\xce\xc4"); // 中文
    EXPECT_GT(chinese.CountNot(kBackground), 100);
    EXPECT_NE(chinese.buffer, other.buffer);
}

TEST_F(GdiTextTest, GbkTextDrawsItsChineseGlyphs) {
    HFONT hud = Font(kSongTi, 20);
    Canvas pause(60, 30), first(30, 30), second(30, 30), question(30, 30);
    Draw(pause, hud, 0, 0, kPause);
    Draw(first, hud, 0, 0, "\xd4\xdd");
    Draw(second, hud, 0, 0, "\xcd\xa3");
    Draw(question, hud, 0, 0, "?");
    // Dense ink where a CJK glyph is, unlike a missing-glyph box or '?'.
    int firstInk = first.CountNot(kBackground);
    EXPECT_GT(firstInk, 60);
    EXPECT_GT(second.CountNot(kBackground), 60);
    EXPECT_NE(first.buffer, second.buffer);
    EXPECT_NE(first.buffer, question.buffer);
    // The pair draws the first glyph then the second beside it.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 14; ++x)
            ASSERT_EQ(pause.At(x, y), first.At(x, y)) << x << "," << y;
}

TEST_F(GdiTextTest, TransparentLeavesEverythingButTheGlyphs) {
    HFONT letters = Font("Arial", 60);
    Canvas canvas(120, 100);
    const int x = 10, y = 12;
    Draw(canvas, letters, x, y, "W");
    Canvas probe(8, 8);
    HDC dc = GdiCreatePixelDC(probe.map);
    SelectObject(dc, letters);
    SIZE cell = Extent(dc, "W");
    GdiDeletePixelDC(dc);

    int touched = 0, untouchedInCell = 0;
    for (int py = 0; py < canvas.height; ++py)
        for (int px = 0; px < canvas.width; ++px) {
            bool inCell =
                px >= x && px < x + cell.cx && py >= y && py < y + cell.cy;
            uint32_t pixel = canvas.At(px, py);
            if (!inCell)
                ASSERT_EQ(pixel, kBackground) << px << "," << py;
            else if (pixel == kBackground)
                ++untouchedInCell;
            else
                ++touched;
        }
    EXPECT_GT(touched, 100);
    EXPECT_GT(untouchedInCell, 100); // the cell's background shows through
    EXPECT_GT(canvas.Count(0), 50);  // fully covered pixels are the colour
}

TEST_F(GdiTextTest, OpaqueFillsTheTextCellsWithTheBackgroundColour) {
    HFONT letters = Font("Arial", 60);
    Canvas canvas(150, 100);
    const int x = 7, y = 9;
    Draw(canvas, letters, x, y, "i.", RGB(0, 0, 0), OPAQUE);
    Canvas probe(8, 8);
    HDC dc = GdiCreatePixelDC(probe.map);
    SelectObject(dc, letters);
    SIZE cell = Extent(dc, "i.");
    GdiDeletePixelDC(dc);

    for (int py = 0; py < canvas.height; ++py)
        for (int px = 0; px < canvas.width; ++px) {
            bool inCell =
                px >= x && px < x + cell.cx && py >= y && py < y + cell.cy;
            uint32_t pixel = canvas.At(px, py);
            if (!inCell) {
                ASSERT_EQ(pixel, kBackground) << px << "," << py;
            } else {
                // Green background, black ink, or the two blended: never
                // the old background, never any red or blue.
                ASSERT_EQ(pixel & 0x00FF00FF, 0u) << px << "," << py;
            }
        }
    EXPECT_GT(canvas.Count(0x0000FF00), cell.cx * cell.cy / 2);
    EXPECT_GT(canvas.Count(0), 20);
}

TEST_F(GdiTextTest, ColorrefIsBlueGreenRedAndGlyphEdgesBlend) {
    HFONT letters = Font("Arial", 60);
    Canvas blue(60, 70), red(60, 70);
    Draw(blue, letters, 5, 0, "I", 0xFF0000);
    Draw(red, letters, 5, 0, "I", 0x0000FF);
    EXPECT_GT(blue.Count(0x000000FF), 100);
    EXPECT_EQ(blue.Count(0x00FF0000), 0);
    EXPECT_GT(red.Count(0x00FF0000), 100);
    EXPECT_EQ(red.Count(0x000000FF), 0);
    // Anti-aliased edges lie between the background and the colour.
    int blended = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 60; ++x) {
            uint32_t pixel = blue.At(x, y);
            if (pixel == kBackground || pixel == 0x000000FF) continue;
            uint32_t r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF,
                     b = pixel & 0xFF;
            EXPECT_LE(r, 0x12u);
            EXPECT_LE(g, 0x34u);
            EXPECT_GE(b, 0x56u);
            ++blended;
        }
    EXPECT_GT(blended, 0);
}

TEST_F(GdiTextTest, ClipsAtEveryEdgeAndAtNegativePositions) {
    HFONT letters = Font("Arial", 60);
    const char* text = "WAW";
    // The whole text, drawn well inside a large canvas.
    Canvas whole(200, 100);
    const int ox = 30, oy = 20;
    Draw(whole, letters, ox, oy, text);
    ASSERT_GT(whole.CountNot(kBackground), 300);

    // A small canvas placed at (cx, cy) of the large one sees the same
    // pixels there, whichever edges cut the text.
    struct Window {
        int cx, cy, width, height;
    };
    for (Window w : {Window{60, 40, 40, 30},   // cut on all four sides
                     Window{0, 0, 50, 40},     // text hangs off right/bottom
                     Window{100, 50, 100, 50}, // text starts left/top of it
                     Window{0, 60, 200, 20}}) {
        Canvas part(w.width, w.height);
        Draw(part, letters, ox - w.cx, oy - w.cy, text);
        EXPECT_TRUE(part.GuardsIntact());
        for (int y = 0; y < w.height; ++y)
            for (int x = 0; x < w.width; ++x)
                ASSERT_EQ(part.At(x, y), whole.At(w.cx + x, w.cy + y))
                    << "window " << w.cx << "," << w.cy << " at " << x << ","
                    << y;
    }
    // Entirely outside on every side, and far away: nothing drawn.
    Canvas small(20, 20);
    for (POINT p :
         {POINT{-500, 0}, POINT{500, 0}, POINT{0, -500}, POINT{0, 500},
          POINT{INT32_MIN, INT32_MIN}, POINT{INT32_MAX - 10, INT32_MAX - 10}})
        Draw(small, letters, p.x, p.y, text, RGB(0, 0, 0), OPAQUE);
    EXPECT_EQ(small.CountNot(kBackground), 0);
    EXPECT_TRUE(small.GuardsIntact());
    // Opaque cells are clipped the same way.
    Canvas opaque(30, 30);
    Draw(opaque, letters, -10, -10, text, RGB(0, 0, 0), OPAQUE);
    EXPECT_EQ(opaque.Count(kBackground), 0);
    EXPECT_TRUE(opaque.GuardsIntact());
}

TEST_F(GdiTextTest, CutAndInvalidSequencesDoNotCrash) {
    HFONT hud = Font(kSongTi, 20);
    Canvas full(40, 30), cut(40, 30), junk(80, 30);
    Draw(full, hud, 0, 0, "\xd4\xdd");
    DrawBytes(cut, hud, 0, 0, "\xd4\xdd\xcd", 3); // ends inside the second one
    EXPECT_EQ(full.buffer, cut.buffer);
    DrawBytes(junk, hud, 0, 0, "\xff\xff\x80\xd4", 4);
    EXPECT_TRUE(junk.GuardsIntact());
    Canvas lone(40, 30);
    DrawBytes(lone, hud, 0, 0, "\xd4", 1);
    EXPECT_EQ(lone.CountNot(kBackground), 0);

    Canvas probe(8, 8);
    HDC dc = GdiCreatePixelDC(probe.map);
    SelectObject(dc, hud);
    SIZE one = Extent(dc, "\xd4\xdd");
    SIZE withCut = {0, 0};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "\xd4\xdd\xcd", 3, &withCut));
    EXPECT_EQ(withCut.cx, one.cx);
    // Bad arguments fail without touching anything.
    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "abc", -1));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "abc", 3, nullptr));
    EXPECT_TRUE(TextOutA(dc, 0, 0, "", 0));
    GdiDeletePixelDC(dc);
    EXPECT_FALSE(TextOutA(dc, 0, 0, "abc", 3)); // a deleted DC
}

TEST_F(GdiTextTest, EachGlyphIsRasterisedOncePerFont) {
    HFONT hud = Font(kSongTi, 20);
    std::string line =
        "\xbc\xb6\xb1\xf0:12   \xb7\xd6\xca\xfd:345 The quick brown fox "
        "jumps over the lazy dog 0123456789";
    Canvas canvas(900, 30);
    long before = TestGdiGlyphRenders();
    Draw(canvas, hud, 0, 0, line.c_str());
    long first = TestGdiGlyphRenders() - before;
    EXPECT_GT(first, 20);
    EXPECT_LT(first, (long)line.size()); // repeated letters came from cache
    std::vector<uint32_t> once = canvas.buffer;
    Draw(canvas, hud, 0, 0, line.c_str());
    EXPECT_EQ(TestGdiGlyphRenders() - before, first);
    // Another font has its own cache.
    HFONT other = Font(kSongTi, 24);
    Draw(canvas, other, 0, 0, "T");
    EXPECT_EQ(TestGdiGlyphRenders() - before, first + 1);
    // Drawn from the cache, the same text gives the same pixels.
    Canvas again(900, 30);
    Draw(again, hud, 0, 0, line.c_str());
    Canvas fresh(900, 30);
    Draw(fresh, hud, 0, 0, line.c_str());
    EXPECT_EQ(again.buffer, fresh.buffer);
}

TEST_F(GdiTextTest, SelectObjectReturnsThePreviousFontAndRefusesStrangers) {
    Canvas canvas(8, 8);
    HDC dc = GdiCreatePixelDC(canvas.map);
    HFONT letters = Font("Arial", 60);
    HFONT hud = Font(kSongTi, 20);
    HGDIOBJ stock = SelectObject(dc, letters);
    ASSERT_NE(stock, nullptr); // the DC's own font
    EXPECT_EQ(SelectObject(dc, hud), letters);
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    int junk = 0;
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(&junk)), nullptr);
    EXPECT_EQ(Extent(dc, "x").cy, 20); // still the HUD font
    EXPECT_EQ(SelectObject(dc, stock), hud);
    EXPECT_EQ(SelectObject(nullptr, hud), nullptr);
    GdiDeletePixelDC(dc);
}

TEST_F(GdiTextTest, AFontDeletedWhileSelectedLivesUntilItsDCLetsGo) {
    Canvas canvas(80, 70);
    HDC dc = GdiCreatePixelDC(canvas.map);
    HFONT letters = MakeFont("Arial", 60);
    SelectObject(dc, letters);
    EXPECT_TRUE(DeleteObject(letters));
    EXPECT_FALSE(DeleteObject(letters));           // gone as a handle
    EXPECT_EQ(SelectObject(dc, letters), nullptr); // cannot come back
    EXPECT_EQ(Extent(dc, "x").cy, 60);             // but still draws
    EXPECT_TRUE(TextOutA(dc, 0, 0, "W", 1));
    EXPECT_GT(canvas.CountNot(kBackground), 100);
    GdiDeletePixelDC(dc); // frees it (AddressSanitizer checks the rest)
    EXPECT_FALSE(DeleteObject(nullptr));

    // Selecting another font lets go of it just the same.
    dc = GdiCreatePixelDC(canvas.map);
    HFONT hud = MakeFont(kSongTi, 20);
    SelectObject(dc, hud);
    EXPECT_TRUE(DeleteObject(hud));
    HGDIOBJ previous = SelectObject(dc, Font("Arial", 30));
    EXPECT_EQ(previous, hud); // the handle it had, though no longer valid
    EXPECT_EQ(Extent(dc, "x").cy, 30);
    GdiDeletePixelDC(dc);
}

TEST_F(GdiTextTest, WeightAndItalicChangeTheGlyphs) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = 40;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT regular = CreateFontIndirectA(&lf);
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectA(&lf);
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = 1;
    HFONT italic = CreateFontIndirectA(&lf);
    for (HFONT font : {regular, bold, italic}) {
        ASSERT_NE(font, nullptr);
        fonts.push_back(font);
    }
    Canvas a(60, 50), b(60, 50), c(60, 50);
    Draw(a, regular, 2, 0, "l");
    Draw(b, bold, 2, 0, "l");
    Draw(c, italic, 2, 0, "l");
    EXPECT_GT(b.CountNot(kBackground), a.CountNot(kBackground));
    EXPECT_NE(a.buffer, c.buffer);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

} // namespace
