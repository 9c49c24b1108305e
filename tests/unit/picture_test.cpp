// The keyboard picture steps: "finger.jpg" into lpDDbmp1, one to one.

#include <gtest/gtest.h>

#include "display/display.h"
#include "display/picture.h"
#include "fake_surface.h"
#include "temp_dir.h"
#include "testing/gdi.h"
#include "testing/user.h"

#include <gdiplus.h>

#include <cstring>

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1234);

class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        savedDD = lpDD;
        savedSurface = lpDDbmp1;
        lpDD = &directDraw;
        lpDDbmp1 = nullptr;
        nPictureWidth = -1;
        nPictureHeight = -1;
        std::memset(&desc, 0, sizeof(desc));
        desc.dwSize = sizeof(desc);
        TestRecordMessageBoxes(true);
        TestClearMessageBoxes();
        objectsBefore = TestGdiLiveObjects();
        dcsBefore = TestGdiLiveDCs();
    }
    void TearDown() override {
        TestClearMessageBoxes();
        lpDD = savedDD;
        lpDDbmp1 = savedSurface;
        nPictureWidth = 0;
        nPictureHeight = 0;
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
        EXPECT_EQ(TestGdiLiveDCs(), dcsBefore);
    }

    // The picture as GDI+ decodes it, for comparing pixel by pixel.
    std::vector<uint32_t> Decoded(const std::string& file) {
        ULONG_PTR token;
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        std::u16string name(file.begin(), file.end());
        Gdiplus::GpBitmap* bitmap = nullptr;
        HBITMAP gdiBitmap = nullptr;
        Gdiplus::DllExports::GdipCreateBitmapFromFile(name.c_str(), &bitmap);
        Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &gdiBitmap,
                                                         0xFFFFFFFF);
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
        Gdiplus::GdiplusShutdown(token);
        HDC memory = CreateCompatibleDC(nullptr);
        SelectObject(memory, gdiBitmap);
        const PixelMap* map = GdiGetPixelMap(memory);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < map->height; ++y)
            pixels.insert(pixels.end(), map->pixels + y * map->pitch,
                          map->pixels + y * map->pitch + map->width);
        DeleteDC(memory);
        DeleteObject(gdiBitmap);
        return pixels;
    }

    TempDir dir;
    FakeDirectDraw directDraw;
    DDSURFACEDESC2 desc;
    LPDIRECTDRAW7 savedDD = nullptr;
    LPDIRECTDRAWSURFACE7 savedSurface = nullptr;
    int objectsBefore = 0;
    int dcsBefore = 0;
};

TEST_F(PictureTest, CopiesThePictureWholeIntoAKeyedSurfaceOfItsSize) {
    // Larger than the screen: still one surface of exactly its size.
    ASSERT_TRUE(dir.WriteJpeg("finger.jpg", 1100, 37, 0x00204080));
    std::vector<uint32_t> expected = Decoded(dir.path + "/finger.jpg");
    WorkingDirectory here(dir.path);
    ASSERT_TRUE(here.ok);

    ImageLoader image;
    EXPECT_EQ(LoadKeyboardPicture(kWindow, &desc, &image), S_OK);
    EXPECT_EQ(nPictureWidth, 1100);
    EXPECT_EQ(nPictureHeight, 37);
    EXPECT_EQ(directDraw.createCount, 1);
    const DDSURFACEDESC2& asked = directDraw.lastDesc;
    EXPECT_EQ(asked.dwSize, sizeof(DDSURFACEDESC2));
    EXPECT_EQ(asked.dwFlags, 0x10007u);
    EXPECT_EQ(asked.ddsCaps.dwCaps, 0x40u);
    EXPECT_EQ(asked.dwWidth, 1100u);
    EXPECT_EQ(asked.dwHeight, 37u);
    EXPECT_EQ(asked.ddckCKSrcBlt.dwColorSpaceLowValue, 0x00FFFFFFu);
    EXPECT_EQ(asked.ddckCKSrcBlt.dwColorSpaceHighValue, 0x00FFFFFFu);

    ASSERT_EQ(lpDDbmp1, directDraw.made.get());
    FakeSurface& surface = *directDraw.made;
    EXPECT_EQ(surface.getCount, 1);
    EXPECT_EQ(surface.pairedReleases, 1);
    EXPECT_EQ(surface.pixels, expected);      // copied one to one, nothing left
    EXPECT_EQ(surface.At(5, 5), 0x00FFFFFFu); // the white band stays white

    // The image lives on until the caller destroys it, after the fonts.
    EXPECT_NE(ImageLoaderBitmap(&image), nullptr);
    ImageLoaderDestroy(&image);
    EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST_F(PictureTest, AMissingPictureFailsAtTheSurfaceWithOneMessage) {
    WorkingDirectory here(dir.path);
    ASSERT_TRUE(here.ok);
    ImageLoader image;
    EXPECT_EQ(LoadKeyboardPicture(kWindow, &desc, &image), DDERR_INVALIDPARAMS);
    EXPECT_EQ(nPictureWidth, 0);
    EXPECT_EQ(nPictureHeight, 0);
    EXPECT_EQ(directDraw.createCount, 1);
    EXPECT_EQ(lpDDbmp1, nullptr);
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    EXPECT_EQ(TestMessageBoxes()[0].text, "CreateSurface lpDDbmp1");
    EXPECT_EQ(TestMessageBoxes()[0].caption, "Error");
    EXPECT_EQ(TestMessageBoxes()[0].owner, kWindow);
    EXPECT_EQ(TestMessageBoxes()[0].type, (UINT)MB_OK);
    // The image is already destroyed; destroying it again is harmless.
    EXPECT_EQ(ImageLoaderBitmap(&image), nullptr);
    ImageLoaderDestroy(&image);
}

TEST_F(PictureTest, AnUndecodablePictureFailsTheSameWay) {
    dir.WriteBytes("finger.jpg", "");
    WorkingDirectory here(dir.path);
    ASSERT_TRUE(here.ok);
    ImageLoader image;
    EXPECT_TRUE(FAILED(LoadKeyboardPicture(kWindow, &desc, &image)));
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    EXPECT_EQ(TestMessageBoxes()[0].text, "CreateSurface lpDDbmp1");
}

TEST_F(PictureTest, ASurfaceWithoutADCKeepsWhatTheDriverPutThere) {
    ASSERT_TRUE(dir.WriteJpeg("finger.jpg", 16, 16, 0x00204080));
    WorkingDirectory here(dir.path);
    ASSERT_TRUE(here.ok);
    struct NoDCDirectDraw : FakeDirectDraw {
        STDMETHOD(CreateSurface)
        (LPDDSURFACEDESC2 d, LPDIRECTDRAWSURFACE7* s, IUnknown* o) override {
            HRESULT hr = FakeDirectDraw::CreateSurface(d, s, o);
            if (made) made->failGetDC = true;
            return hr;
        }
    } noDC;
    lpDD = &noDC;
    ImageLoader image;
    EXPECT_EQ(LoadKeyboardPicture(kWindow, &desc, &image), S_OK);
    ASSERT_NE(noDC.made, nullptr);
    for (uint32_t pixel : noDC.made->pixels)
        ASSERT_EQ(pixel, noDC.fill);
    ImageLoaderDestroy(&image);
    lpDDbmp1 = nullptr;
}

} // namespace
