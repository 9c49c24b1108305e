// The format of a picture file and the size its header states, read before
// anything is decoded: a header may claim any size, and decoding first would
// allocate (and, for a cut file, fill) whatever it claims.

#include "gdiplus_private.h"

#include <cstring>

namespace {

uint32_t Big16(const uint8_t* p) {
    return (uint32_t)p[0] << 8 | p[1];
}
uint32_t Big32(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 |
           p[3];
}

// JPEG: the first start-of-frame segment, past the segments before it.
bool JpegSize(const uint8_t* data, size_t size, uint32_t* width,
              uint32_t* height) {
    size_t i = 2;
    while (i < size) {
        if (data[i] != 0xFF) return false;
        while (i < size && data[i] == 0xFF) // fill bytes
            ++i;
        if (i >= size) return false;
        uint8_t marker = data[i++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;                                       // no length follows
        if (marker == 0xD9 || marker == 0xDA) return false; // no frame
        if (size - i < 2) return false;
        uint32_t length = Big16(data + i);
        if (length < 2) return false;
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                     marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || size - i < 7) return false;
            *height = Big16(data + i + 3);
            *width = Big16(data + i + 5);
            return true;
        }
        if (size - i < length) return false;
        i += length;
    }
    return false;
}

// PNG: whole, each chunk within the file up to IEND. SDL_image's PNG reader
// does not see a read fall short, and libpng then reads the same bytes over
// and over: a chunk claiming more than the file held hung the start-up.
bool PngWhole(const uint8_t* data, size_t size) {
    size_t i = 8;
    while (size - i >= 12) {
        uint32_t length = Big32(data + i);
        if (length > 0x7FFFFFFF || size - i - 12 < length) return false;
        if (std::memcmp(data + i + 4, "IEND", 4) == 0) return true;
        i += 12 + (size_t)length;
    }
    return false;
}

} // namespace

GdipPictureFormat GdipReadPictureHeader(const uint8_t* data, size_t size,
                                        uint32_t* width, uint32_t* height) {
    *width = *height = 0;
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return JpegSize(data, size, width, height) ? GdipPictureFormat::Jpeg
                                                   : GdipPictureFormat::Unknown;
    if (size >= 24 && std::memcmp(data, png, 8) == 0 &&
        std::memcmp(data + 12, "IHDR", 4) == 0 && PngWhole(data, size)) {
        *width = Big32(data + 16);
        *height = Big32(data + 20);
        return GdipPictureFormat::Png;
    }
    return GdipPictureFormat::Unknown;
}

bool GdipPictureSizeAllowed(uint32_t width, uint32_t height) {
    return width > 0 && height > 0 && width <= kGdipMaxPictureSide &&
           height <= kGdipMaxPictureSide &&
           (uint64_t)width * height <= kGdipMaxPicturePixels;
}
