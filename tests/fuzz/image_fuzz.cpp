// libFuzzer target: the game's picture loading, ImageLoaderLoad, through the
// GDI+ stand-in (the header check, SDL_image's decoders) to the GDI bitmap,
// the input being the whole picture file.
#include <gdiplus.h>

#include <cstdint>
#include <cstdlib>

#include "display/image_loader.h"
#include "gdi/gdi_private.h"
#include "gdiplus/gdiplus_private.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* name = WriteMemoryFile(data, size);
    if (!name) abort();
    int objectsBefore = GdiLiveObjectCount();

    ImageLoader image;
    ImageLoaderCreate(&image);
    HRESULT loaded = ImageLoaderLoad(&image, name);
    int32_t width = ImageLoaderWidth(&image),
            height = ImageLoaderHeight(&image);
    HBITMAP bitmap = ImageLoaderBitmap(&image);
    if (SUCCEEDED(loaded)) {
        // A picture of the size it says, within what is decoded at all,
        // whose every pixel can be read.
        if (!bitmap ||
            !GdipPictureSizeAllowed((uint32_t)width, (uint32_t)height))
            abort();
        HDC dc = CreateCompatibleDC(nullptr);
        if (!SelectObject(dc, bitmap)) abort();
        const PixelMap* map = GdiGetPixelMap(dc);
        if (!map || map->width != width || map->height != height) abort();
        uint32_t mix = 0;
        for (int y = 0; y < height; ++y)
            mix ^= map->pixels[(size_t)y * map->pitch + (size_t)(width - 1)];
        (void)mix;
        DeleteDC(dc);
    } else if (bitmap || width != 0 || height != 0) {
        abort(); // a failed load leaves the loader empty
    }
    ImageLoaderDestroy(&image);
    // Nothing is left behind, and GDI+ is shut down again.
    if (GdiLiveObjectCount() != objectsBefore || GdipIsStarted()) abort();
    return 0;
}
