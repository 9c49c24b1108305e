// The display code over the DirectDraw stand-in: the keyboard picture in
// lpDDbmp1, the two fonts and the text drawn onto surfaces.

#include <gtest/gtest.h>

#include "ddraw_fixture.h"
#include "display/display.h"
#include "display/picture.h"
#include "display/surface_text.h"
#include "gdi/dc.h"
#include "temp_dir.h"
#include "testing/gdi.h"
#include "testing/user.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const uint32_t kGrey = 0xC8C8C8;

// Nothing the display code made is left behind.
class DisplayTest : public DirectDrawTest {
  protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        lpDD = dd;
        objectsBefore = TestGdiLiveObjects();
        dcsBefore = TestGdiLiveDCs();
    }
    void TearDown() override {
        if (lpDDbmp1) lpDDbmp1->Release();
        lpDDbmp1 = nullptr;
        lpDD = nullptr;
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
        EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
        DirectDrawTest::TearDown();
    }
    // The picture steps, run in the data directory.
    HRESULT LoadPicture(ImageLoader* image) {
        WorkingDirectory here(dir.path);
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        return LoadKeyboardPicture(window, &desc, image);
    }
    TempDir dir;
    int objectsBefore = 0;
    int dcsBefore = 0;
};

// Wider than the screen, still one surface of exactly its size; its white
// is left out when it is copied onto the back buffer, the rest kept.
TEST_F(DisplayTest, ThePictureIsCopiedIntoAWhiteKeyedSurfaceOfItsSize) {
    const int w = 1100, h = 37;
    ASSERT_TRUE(dir.WriteJpeg("finger.jpg", w, h, 0x00204080));
    ImageLoader image;
    ASSERT_EQ(LoadPicture(&image), S_OK);
    ImageLoaderDestroy(&image);
    EXPECT_EQ(nPictureWidth, w);
    EXPECT_EQ(nPictureHeight, h);
    LPDIRECTDRAWSURFACE7 back = Offscreen(w, h);
    ASSERT_EQ(Fill(back, nullptr, kGrey), DD_OK);
    ASSERT_EQ(back->Blt(nullptr, lpDDbmp1, nullptr, DDBLT_KEYSRC, nullptr),
              DD_OK);
    TestSurfaceImage picture = TestSurfacePixels(lpDDbmp1),
                     shown = TestSurfacePixels(back);
    ASSERT_EQ(picture.pixels.size(), (size_t)w * h);
    EXPECT_EQ(picture.At(5, 5), 0xFFFFFFu); // the white band
    for (int s : {0, 8, 16}) // the colour to the last pixel, as JPEG keeps it
        EXPECT_NEAR(picture.At(w - 1, h - 1) >> s & 0xFF, 0x204080 >> s & 0xFF,
                    8);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        ASSERT_EQ(shown.pixels[i],
                  picture.pixels[i] == 0xFFFFFF ? kGrey : picture.pixels[i])
            << i;
    EXPECT_GT(Count(shown, kGrey), w * h / 4);
    back->Release();
    EXPECT_TRUE(TestMessageBoxes().empty());
}

// Draws `text` as GDI does on a fresh context of `map`; returns its extent.
SIZE Text(const PixelMap& map, HFONT font, int x, int y, const char* text,
          COLORREF colour) {
    HDC dc = GdiCreatePixelDC(map);
    if (font) SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, text, (int)strlen(text));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    GdiDeletePixelDC(dc);
    return size;
}

// The fonts are Arial, 60 pixels high, and 宋体, 20. The surface shows what
// GDI draws there with the text's font, place and colour, transparent, on a
// fresh context (given back: the frame tests draw text frame after frame).
TEST_F(DisplayTest, TextIsDrawnInItsColourAndFontAtItsPlace) {
    CreateTextFonts();
    EXPECT_NE(TestGdiFontFile(hLetterFont).find("Liberation"),
              std::string::npos);
    EXPECT_NE(TestGdiFontFile(hHudFont).find("wqy"), std::string::npos);
    uint32_t one = 0;
    EXPECT_EQ(Text(PixelMap{&one, 1, 1, 1}, hLetterFont, 0, 0, "a", 0).cy, 60);
    EXPECT_EQ(Text(PixelMap{&one, 1, 1, 1}, hHudFont, 0, 0, "a", 0).cy, 20);
    struct Case {
        HFONT font; // null: the context's own
        const char* text;
        int x, y;
        COLORREF colour;
    } cases[] = {{hLetterFont, "k", 20, 10, RGB(0, 0, 255)},
                 {hHudFont, "\xd4\xdd\xcd\xa3Pause", 4, 4, RGB(255, 0, 0)},
                 {nullptr, "Dunmarl", 30, 50, RGB(255, 0, 0)}};
    for (const Case& c : cases) {
        LPDIRECTDRAWSURFACE7 surface = Offscreen(200, 100);
        ASSERT_EQ(Fill(surface, nullptr, kGrey), DD_OK);
        if (c.font)
            DrawSurfaceTextFont(surface, c.text, c.x, c.y, c.colour,
                                TRANSPARENT, c.font);
        else
            DrawSurfaceText(surface, c.text, c.x, c.y, c.colour, TRANSPARENT);
        std::vector<uint32_t> expected((size_t)200 * 100, kGrey);
        Text(PixelMap{expected.data(), 200, 100, 200}, c.font, c.x, c.y, c.text,
             c.colour);
        TestSurfaceImage image = TestSurfacePixels(surface);
        EXPECT_EQ(image.pixels, expected) << c.text;
        EXPECT_GT(Count(image, GdiPixelFromColor(c.colour)), 0) << c.text;
        surface->Release();
    }
    EXPECT_TRUE(DeleteObject(hLetterFont));
    EXPECT_TRUE(DeleteObject(hHudFont));
}

} // namespace
