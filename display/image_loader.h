// ImageLoader: one picture decoded by GDI+ and held as a GDI bitmap.
#ifndef QEL_DISPLAY_IMAGE_LOADER_H
#define QEL_DISPLAY_IMAGE_LOADER_H

#include <windows.h>

#include <cstdint>

struct ImageLoader {
    HBITMAP bitmap;
    int32_t width;
    int32_t height;
    bool started; // this loader holds a share of the GDI+ start-up
};

// An empty loader: width 0, height 0, no bitmap.
void ImageLoaderCreate(ImageLoader* image);
// Decodes `fileName` (narrow, relative to the current directory) into a
// bitmap of the picture's size. 0 on success; on failure the loader stays
// empty and the result is negative.
HRESULT ImageLoaderLoad(ImageLoader* image, const char* fileName);
int32_t ImageLoaderWidth(const ImageLoader* image);
int32_t ImageLoaderHeight(const ImageLoader* image);
// The bitmap, for selecting into a memory device context; null when empty.
HBITMAP ImageLoaderBitmap(const ImageLoader* image);
// Deletes the bitmap and ends this loader's use of GDI+ (shut down with the
// last loader). Leaves the loader empty; destroying it again does nothing.
void ImageLoaderDestroy(ImageLoader* image);

#endif
