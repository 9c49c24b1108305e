// GDI+ images: bitmaps decoded from files by SDL2_image, and their
// conversion to GDI bitmaps.

#include <gdiplus.h>

#include "../gdi/dc.h"
#include "../kernel/codepage.h"
#include "../kernel/data_file.h"
#include "gdiplus_private.h"

#include "../trace/trace.h"

#include <SDL.h>
#include <SDL_image.h>

#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

// A decoded picture, kept as 32-bit ARGB.
struct DecodedBitmap : GpBitmap {
    SDL_Surface* surface = nullptr;
};

SDL_Surface* SurfaceOf(GpImage* image) {
    return static_cast<DecodedBitmap*>(image)->surface;
}

// The whole file (what its size said when it was opened), or the status to
// report when it can't be opened or read, or is no file a picture could be
// decoded from.
GpStatus ReadPictureFile(const std::string& path, std::vector<uint8_t>* bytes) {
    uint64_t size = 0;
    int fd = OpenDataFile(path.c_str(), kGdipMaxFileBytes, &size);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileNotFound;
        if (errno == EACCES) return AccessDenied;
        if (errno == EFBIG) return OutOfMemory;
        return Win32Error;
    }
    bytes->resize(size_t(size));
    size_t done = 0;
    bool failed = false;
    while (done < bytes->size()) {
        ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got > 0) {
            done += size_t(got);
        } else if (got == 0 || errno != EINTR) {
            failed = got < 0;
            break;
        }
    }
    close(fd);
    // A file cut since it was opened is decoded as far as it goes.
    bytes->resize(done);
    return failed ? Win32Error : Ok;
}

} // namespace

// Decodes a JPEG or PNG file into a new bitmap. Only a regular file
// of at most kGdipMaxFileBytes is read, once, whole. The size its header
// states is checked first: a picture beyond 8192 by 8192 pixels (or 32768 on
// a side) is refused as GDI+ refuses what it can't hold, OutOfMemory.
GpStatus WINGDIPAPI DllExports::GdipCreateBitmapFromFile(const WCHAR* fileName,
                                                         GpBitmap** bitmap) {
    TRACE(TRACE_GDIPLUS, "file=%s", TraceWide(fileName).c_str());
    *bitmap = nullptr;
    std::vector<uint8_t> bytes;
    GpStatus read = ReadPictureFile(
        WideToUtf8(fileName, std::char_traits<char16_t>::length(fileName)),
        &bytes);
    if (read != Ok) return read;

    uint32_t width = 0, height = 0;
    GdipPictureFormat format =
        GdipReadPictureHeader(bytes.data(), bytes.size(), &width, &height);
    if (format == GdipPictureFormat::Unknown || width == 0 || height == 0)
        return UnknownImageFormat;
    if (!GdipPictureSizeAllowed(width, height)) return OutOfMemory;
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), (int)bytes.size());
    if (!stream) return OutOfMemory;
    // The format's own decoder alone: SDL_image's IMG_Load would try every
    // format it knows whose mark it finds, an SVG's "<svg" anywhere in the
    // first bytes among them.
    SDL_Surface* decoded = format == GdipPictureFormat::Jpeg
                               ? IMG_LoadJPG_RW(stream)
                               : IMG_LoadPNG_RW(stream);
    SDL_RWclose(stream);
    if (!decoded) return UnknownImageFormat;
    SDL_Surface* argb =
        SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(decoded);
    if (!argb) return OutOfMemory;
    auto* image = new DecodedBitmap;
    image->surface = argb;
    *bitmap = image;
    return Ok;
}

// A GDI bitmap of the picture, laid over the opaque colour `background`
// where it is not opaque itself (a PNG's transparency; a JPEG has none).
GpStatus WINGDIPAPI DllExports::GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap,
                                                            HBITMAP* result,
                                                            ARGB background) {
    TRACE(TRACE_GDIPLUS, "bitmap=%p background=0x%08x", (void*)bitmap,
          (unsigned)background);
    SDL_Surface* surface = SurfaceOf(bitmap);
    // 32-bit pixels: the rows lie a width apart.
    const uint32_t* pixels = static_cast<const uint32_t*>(surface->pixels);
    size_t count = size_t(surface->w) * size_t(surface->h);
    std::vector<uint32_t> laid;
    for (size_t i = 0; i < count; ++i) {
        uint32_t alpha = pixels[i] >> 24;
        if (alpha == 255) continue;
        if (laid.empty()) laid.assign(pixels, pixels + count);
        uint32_t out = 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t over = (pixels[i] >> shift) & 0xFF;
            uint32_t under = (background >> shift) & 0xFF;
            out |= ((over * alpha + under * (255 - alpha) + 127) / 255)
                   << shift;
        }
        laid[i] = out;
    }
    *result = GdiCreateBitmap(surface->w, surface->h,
                              laid.empty() ? pixels : laid.data());
    return *result ? Ok : OutOfMemory;
}

// Frees a bitmap made by GdipCreateBitmapFromFile.
GpStatus WINGDIPAPI DllExports::GdipDisposeImage(GpImage* image) {
    TRACE(TRACE_GDIPLUS, "image=%p", (void*)image);
    SDL_FreeSurface(SurfaceOf(image));
    delete static_cast<DecodedBitmap*>(image);
    return Ok;
}

// The picture's width in pixels.
GpStatus WINGDIPAPI DllExports::GdipGetImageWidth(GpImage* image, UINT* width) {
    TRACE(TRACE_GDIPLUS, "image=%p", (void*)image);
    *width = (UINT)SurfaceOf(image)->w;
    return Ok;
}

// The picture's height in pixels.
GpStatus WINGDIPAPI DllExports::GdipGetImageHeight(GpImage* image,
                                                   UINT* height) {
    TRACE(TRACE_GDIPLUS, "image=%p", (void*)image);
    *height = (UINT)SurfaceOf(image)->h;
    return Ok;
}
