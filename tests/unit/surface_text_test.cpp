// Text drawn onto DirectDraw surfaces through their device contexts, and
// the two fonts.

#include <gtest/gtest.h>

#include "display/fonts.h"
#include "display/surface_text.h"
#include "fake_surface.h"
#include "testing/gdi.h"

#include <string>

namespace {

const uint32_t kGrey = 0x00C8C8C8;

int Count(const FakeSurface& surface, uint32_t pixel) {
    int n = 0;
    for (uint32_t p : surface.pixels)
        n += p == pixel;
    return n;
}

// Pixels of the grey fill blended towards pure red (ink and its edges).
int CountReddened(const FakeSurface& surface) {
    int n = 0;
    for (uint32_t p : surface.pixels)
        n += p != kGrey && (p >> 16 & 0xFF) >= 0xC8 && (p >> 8 & 0xFF) < 0xC8 &&
             (p & 0xFF) < 0xC8;
    return n;
}

class SurfaceTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        objectsBefore = TestGdiLiveObjects();
        dcsBefore = TestGdiLiveDCs();
        CreateTextFonts();
    }
    void TearDown() override {
        DeleteObject(hLetterFont);
        DeleteObject(hHudFont);
        hLetterFont = nullptr;
        hHudFont = nullptr;
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
        EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
    }
    int objectsBefore = 0;
    int dcsBefore = 0;
};

TEST_F(SurfaceTextTest, TheFontsAreArialSixtyAndSongTiTwenty) {
    ASSERT_NE(hLetterFont, nullptr);
    ASSERT_NE(hHudFont, nullptr);
    EXPECT_NE(TestGdiFontFile(hLetterFont).find("Liberation"),
              std::string::npos);
    EXPECT_NE(TestGdiFontFile(hHudFont).find("wqy"), std::string::npos);
    FakeSurface surface(64, 64, kGrey);
    DrawSurfaceTextFont(&surface, "a", 0, 0, 0, TRANSPARENT, hLetterFont);
    EXPECT_EQ(surface.cellAtRelease, 60);
    DrawSurfaceTextFont(&surface, "a", 0, 0, 0, TRANSPARENT, hHudFont);
    EXPECT_EQ(surface.cellAtRelease, 20);
}

TEST_F(SurfaceTextTest, DrawsInTheColourAndFontAndReleasesTheDC) {
    FakeSurface surface(200, 100, kGrey);
    DrawSurfaceTextFont(&surface, "k", 20, 10, 0xFF0000, TRANSPARENT,
                        hLetterFont);
    EXPECT_EQ(surface.getCount, 1);
    EXPECT_EQ(surface.pairedReleases, 1);
    EXPECT_EQ(surface.current, nullptr);
    EXPECT_GT(Count(surface, 0x000000FF), 50); // blue
    // Transparent: everything outside the ink is still the grey fill, and
    // nothing was drawn above or left of the position.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (x < 20 || y < 10 || x >= 80) {
                ASSERT_EQ(surface.At(x, y), kGrey) << x << "," << y;
            }
    EXPECT_GT(Count(surface, kGrey), 200 * 100 - 60 * 60);
}

TEST_F(SurfaceTextTest, PauseTitleInGbkDrawsRed) {
    FakeSurface surface(120, 40, kGrey);
    DrawSurfaceTextFont(&surface, "\xd4\xdd\xcd\xa3Pause", 4, 4, 0x0000FF,
                        TRANSPARENT, hHudFont);
    EXPECT_GT(CountReddened(surface), 150);
    EXPECT_EQ(Count(surface, kGrey) + CountReddened(surface), 120 * 40);
    EXPECT_EQ(surface.cellAtRelease, 20);
}

TEST_F(SurfaceTextTest, EmptyTextStillGetsAndReleasesTheDC) {
    FakeSurface surface(50, 50, kGrey);
    DrawSurfaceText(&surface, "", 0, 0, 0x0000FF, TRANSPARENT);
    DrawSurfaceTextFont(&surface, std::string(), 10, 10, 0, TRANSPARENT,
                        hHudFont);
    EXPECT_EQ(surface.getCount, 2);
    EXPECT_EQ(surface.pairedReleases, 2);
    EXPECT_EQ(Count(surface, kGrey), 50 * 50);
}

TEST_F(SurfaceTextTest, EachCallStartsFromTheSurfacesOwnDCState) {
    FakeSurface surface(200, 80, kGrey);
    DrawSurfaceTextFont(&surface, "x", 0, 0, 0, TRANSPARENT, hLetterFont);
    EXPECT_EQ(surface.cellAtRelease, 60); // released with the font selected
    // The next plain call gets a fresh DC with its default font.
    DrawSurfaceText(&surface, "Dunmarl", 0, 0, 0x0000FF, TRANSPARENT);
    LONG defaultCell = surface.cellAtRelease;
    EXPECT_NE(defaultCell, 60);
    EXPECT_GT(defaultCell, 10);
    EXPECT_GT(CountReddened(surface), 50);
    EXPECT_EQ(surface.pairedReleases, 2);
}

TEST_F(SurfaceTextTest, AnInvalidFontDrawsInTheCurrentOne) {
    FakeSurface surface(200, 80, kGrey), nullFont(200, 80, kGrey);
    int junk = 0;
    DrawSurfaceTextFont(&surface, "Dunmarl", 0, 0, 0, TRANSPARENT,
                        reinterpret_cast<HFONT>(&junk));
    LONG cell = surface.cellAtRelease;
    DrawSurfaceTextFont(&nullFont, "Dunmarl", 0, 0, 0, TRANSPARENT, nullptr);
    EXPECT_EQ(nullFont.cellAtRelease, cell);
    EXPECT_EQ(nullFont.pixels, surface.pixels);
    FakeSurface plain(200, 80, kGrey);
    DrawSurfaceText(&plain, "Dunmarl", 0, 0, 0, TRANSPARENT);
    EXPECT_EQ(plain.cellAtRelease, cell);
    EXPECT_EQ(plain.pixels, surface.pixels);
}

TEST_F(SurfaceTextTest, ASurfaceWithoutADCDrawsNothing) {
    FakeSurface surface(50, 50, kGrey);
    surface.failGetDC = true;
    DrawSurfaceTextFont(&surface, "abc", 0, 0, 0, TRANSPARENT, hHudFont);
    DrawSurfaceText(&surface, "abc", 0, 0, 0, TRANSPARENT);
    EXPECT_EQ(surface.getCount, 2);
    EXPECT_EQ(surface.pairedReleases, 0);
    EXPECT_EQ(Count(surface, kGrey), 50 * 50);
}

} // namespace
