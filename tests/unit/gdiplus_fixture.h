// A GDI+ session for a test: started and shut down around it, with a
// temporary folder for the picture files and a check that no GDI object is
// left behind.
#ifndef QEL_TESTS_UNIT_GDIPLUS_FIXTURE_H
#define QEL_TESTS_UNIT_GDIPLUS_FIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <SDL_image.h>

#include <string>

#include "temp_dir.h"
#include "testing/gdi.h"

inline std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

class GdiplusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr),
                  Gdiplus::Ok);
        objectsBefore = TestGdiLiveObjects();
    }
    void TearDown() override {
        Gdiplus::GdiplusShutdown(token);
        EXPECT_EQ(TestGdiLiveObjects(), objectsBefore);
    }
    std::string Path(const char* name) { return dir.File(name); }
    std::string WriteJpeg(const char* name, int width, int height) {
        EXPECT_TRUE(dir.WriteJpeg(name, width, height, 0x00FF0000))
            << IMG_GetError();
        return dir.path + "/" + name;
    }
    std::string WriteBytes(const char* name, const std::string& bytes) {
        return dir.WriteBytes(name, bytes);
    }
    Gdiplus::GpStatus Open(const std::string& path,
                           Gdiplus::GpBitmap** bitmap) {
        return Gdiplus::DllExports::GdipCreateBitmapFromFile(Wide(path).c_str(),
                                                             bitmap);
    }

    TempDir dir;
    ULONG_PTR token = 0;
    int objectsBefore = 0;
};

#endif
