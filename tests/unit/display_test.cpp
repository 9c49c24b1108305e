// The display code over the DirectDraw stand-in: the keyboard picture in
// lpDDbmp1, the two fonts and the text drawn onto surfaces.

#include <gtest/gtest.h>

#include "ddraw_fixture.h"
#include "display/display.h"
#include "display/picture.h"
#include "display/surface_text.h"
#include "gdi_text.h"
#include "temp_dir.h"
#include "testing/seams.h"

#include <algorithm>
#include <string>

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
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    WorkingDirectory here(dir.path);
    ASSERT_EQ(LoadKeyboardPicture(window, &desc, &image), S_OK);
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
    EXPECT_GT(std::count(shown.pixels.begin(), shown.pixels.end(), kGrey),
              w * h / 4);
    back->Release();
    EXPECT_TRUE(TestMessageBoxes().empty());
}

// The fonts are Arial, 60 pixels high, and 宋体, 20. (That the frame's text
// shows as GDI draws it, in its font, place and colour, is the frame tests'.)
TEST_F(DisplayTest, TheFontsAreArial60AndSongTi20) {
    CreateTextFonts();
    EXPECT_NE(TestGdiFontFile(hLetterFont).find("Liberation"),
              std::string::npos);
    EXPECT_NE(TestGdiFontFile(hHudFont).find("wqy"), std::string::npos);
    uint32_t pixel = 0;
    PixelMap one = {&pixel, 1, 1, 1};
    EXPECT_EQ(DrawGdiText(one, hLetterFont, 0, 0, "a", 0).cy, 60);
    EXPECT_EQ(DrawGdiText(one, hHudFont, 0, 0, "a", 0).cy, 20);
    EXPECT_TRUE(DeleteObject(hLetterFont));
    EXPECT_TRUE(DeleteObject(hHudFont));
}

} // namespace
