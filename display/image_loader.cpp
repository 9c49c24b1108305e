// ImageLoader: one picture decoded by GDI+ and held as a GDI bitmap. GDI+
// runs from the first load to the destruction of the last loader that
// loaded, so the codec is active only while pictures are being loaded.

#include "display/image_loader.h"

#include <gdiplus.h>

#include <string>

static ULONG_PTR gdiplusToken;
static int gdiplusUsers;

void ImageLoaderCreate(ImageLoader* image) {
    image->bitmap = nullptr;
    image->width = 0;
    image->height = 0;
    image->started = false;
}

HRESULT ImageLoaderLoad(ImageLoader* image, const char* fileName) {
    if (!image->started) {
        if (gdiplusUsers == 0) {
            Gdiplus::GdiplusStartupInput input;
            if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) !=
                Gdiplus::Ok)
                return E_FAIL;
        }
        ++gdiplusUsers;
        image->started = true;
    }
    if (image->bitmap) DeleteObject(image->bitmap);
    image->bitmap = nullptr;
    image->width = 0;
    image->height = 0;

    // The game's file names are ASCII: each byte is its own UTF-16 unit.
    std::basic_string<WCHAR> wideName;
    for (const char* p = fileName; *p; ++p)
        wideName += (WCHAR)(unsigned char)*p;

    Gdiplus::GpBitmap* decoded = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(wideName.c_str(),
                                                      &decoded) != Gdiplus::Ok)
        return E_FAIL;
    UINT width = 0, height = 0;
    HBITMAP bitmap = nullptr;
    Gdiplus::DllExports::GdipGetImageWidth(decoded, &width);
    Gdiplus::DllExports::GdipGetImageHeight(decoded, &height);
    // Opaque white behind any transparency: white is the picture's key.
    Gdiplus::GpStatus status = Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(
        decoded, &bitmap, 0xFFFFFFFF);
    Gdiplus::DllExports::GdipDisposeImage(decoded);
    if (status != Gdiplus::Ok || !bitmap) return E_FAIL;
    image->bitmap = bitmap;
    image->width = (int32_t)width;
    image->height = (int32_t)height;
    return S_OK;
}

int32_t ImageLoaderWidth(const ImageLoader* image) {
    return image->width;
}

int32_t ImageLoaderHeight(const ImageLoader* image) {
    return image->height;
}

HBITMAP ImageLoaderBitmap(const ImageLoader* image) {
    return image->bitmap;
}

void ImageLoaderDestroy(ImageLoader* image) {
    if (image->bitmap) DeleteObject(image->bitmap);
    image->bitmap = nullptr;
    image->width = 0;
    image->height = 0;
    if (image->started && --gdiplusUsers == 0)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    image->started = false;
}
