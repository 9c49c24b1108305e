// ImageLoader: decoding a picture file into a GDI bitmap through GDI+.

#include <gtest/gtest.h>

#include "display/image_loader.h"
#include "gdi/dc.h"
#include "temp_dir.h"
#include "testing/gdi.h"

#include <gdiplus.h>

namespace {

// True while GDI+ runs: only then does it decode.
bool GdiplusRunning(const std::string& file) {
    std::u16string name(file.begin(), file.end());
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpStatus status =
        Gdiplus::DllExports::GdipCreateBitmapFromFile(name.c_str(), &bitmap);
    if (bitmap) Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return status != Gdiplus::GdiplusNotInitialized;
}

class ImageLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        ASSERT_TRUE(dir.WriteJpeg("finger.jpg", 30, 20, 0x00FF0000));
        picture = dir.path + "/finger.jpg";
        objectsBefore = TestGdiLiveObjects();
    }
    void TearDown() override {
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
        EXPECT_FALSE(GdiplusRunning(picture));
    }
    TempDir dir;
    std::string picture;
    int objectsBefore = 0;
};

TEST_F(ImageLoaderTest, AnEmptyLoaderHasNoSizeAndNoBitmap) {
    ImageLoader image;
    ImageLoaderCreate(&image);
    EXPECT_EQ(ImageLoaderWidth(&image), 0);
    EXPECT_EQ(ImageLoaderHeight(&image), 0);
    EXPECT_EQ(ImageLoaderBitmap(&image), nullptr);
    ImageLoaderDestroy(&image);
}

TEST_F(ImageLoaderTest, LoadsThePictureAsABitmapOfItsSize) {
    ImageLoader image;
    ImageLoaderCreate(&image);
    EXPECT_EQ(ImageLoaderLoad(&image, picture.c_str()), S_OK);
    EXPECT_EQ(ImageLoaderWidth(&image), 30);
    EXPECT_EQ(ImageLoaderHeight(&image), 20);
    HBITMAP bitmap = ImageLoaderBitmap(&image);
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(SelectObject(memory, bitmap), nullptr);
    const PixelMap* map = GdiGetPixelMap(memory);
    ASSERT_EQ(map->width, 30);
    EXPECT_GE(map->pixels[10 * map->pitch + 2] & 0xFF, 0xF0u);  // white band
    EXPECT_LE(map->pixels[10 * map->pitch + 25] & 0xFF, 0x20u); // red
    DeleteDC(memory);
    EXPECT_TRUE(GdiplusRunning(picture));
    ImageLoaderDestroy(&image);
    EXPECT_EQ(ImageLoaderBitmap(&image), nullptr);
    ImageLoaderDestroy(&image); // a second destroy does nothing
}

TEST_F(ImageLoaderTest, AFailedLoadLeavesTheLoaderEmpty) {
    ImageLoader image;
    ImageLoaderCreate(&image);
    std::string text = dir.WriteBytes("text.jpg", "not a picture");
    EXPECT_TRUE(FAILED(ImageLoaderLoad(&image, text.c_str())));
    EXPECT_TRUE(FAILED(ImageLoaderLoad(&image, "/nonexistent/finger.jpg")));
    EXPECT_EQ(ImageLoaderWidth(&image), 0);
    EXPECT_EQ(ImageLoaderHeight(&image), 0);
    EXPECT_EQ(ImageLoaderBitmap(&image), nullptr);
    // A good load after a bad one, and a bad one after a good one.
    EXPECT_EQ(ImageLoaderLoad(&image, picture.c_str()), S_OK);
    EXPECT_EQ(ImageLoaderWidth(&image), 30);
    EXPECT_TRUE(FAILED(ImageLoaderLoad(&image, text.c_str())));
    EXPECT_EQ(ImageLoaderBitmap(&image), nullptr);
    ImageLoaderDestroy(&image);
}

TEST_F(ImageLoaderTest, GdiplusStopsWithTheLastLoader) {
    ImageLoader first, second;
    ImageLoaderCreate(&first);
    ImageLoaderCreate(&second);
    ImageLoaderLoad(&first, picture.c_str());
    ImageLoaderLoad(&second, picture.c_str());
    ImageLoaderDestroy(&first);
    EXPECT_TRUE(GdiplusRunning(picture));
    EXPECT_EQ(ImageLoaderWidth(&second), 30);
    ImageLoaderDestroy(&second);
    EXPECT_FALSE(GdiplusRunning(picture));
    // A loader that never loaded does not stop anyone's GDI+.
    ImageLoader idle;
    ImageLoaderCreate(&idle);
    ImageLoaderCreate(&first);
    ImageLoaderLoad(&first, picture.c_str());
    ImageLoaderDestroy(&idle);
    EXPECT_TRUE(GdiplusRunning(picture));
    ImageLoaderDestroy(&first);
}

} // namespace
