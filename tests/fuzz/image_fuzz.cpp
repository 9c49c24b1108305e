// libFuzzer target: the picture file loaded by ImageLoaderLoad, through the
// GDI+ stand-in (header check, SDL_image's decoders) to the GDI bitmap.
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
        // whose every row can be read to its end.
        if (!bitmap ||
            !GdipPictureSizeAllowed((uint32_t)width, (uint32_t)height))
            abort();
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
        const PixelMap* map = GdiGetPixelMap(dc);
        if (!map || map->width != width || map->height != height) abort();
        volatile uint32_t last = 0;
        for (int y = 0; y < height; ++y)
            last = map->pixels[(size_t)y * map->pitch + (size_t)(width - 1)];
        (void)last;
        DeleteDC(dc);
    } else if (bitmap || width != 0 || height != 0) {
        abort(); // a failed load leaves the loader empty
    }
    ImageLoaderDestroy(&image);
    if (GdiLiveObjectCount() != objectsBefore) abort();
    return 0;
}
