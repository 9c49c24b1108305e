// Inside the GDI+ stand-in.
#ifndef QEL_PLATFORM_GDIPLUS_GDIPLUS_PRIVATE_H
#define QEL_PLATFORM_GDIPLUS_GDIPLUS_PRIVATE_H

#include <cstddef>
#include <cstdint>

// The picture formats decoded here: the game's JPEG, and PNG, which a
// picture saved in place of it may be. Not GIF: after an image it can't
// read, SDL_image's GIF reader scans the rest of the file for any byte that
// may start another image, and takes that image's size.
enum class GdipPictureFormat { Unknown, Jpeg, Png };

// The format of a file from its first bytes, and the size in pixels its
// header states; Unknown when the bytes are no such picture, its header is
// cut short before the size, or a PNG is cut anywhere. Nothing is decoded.
GdipPictureFormat GdipReadPictureHeader(const uint8_t* data, size_t size,
                                        uint32_t* width, uint32_t* height);

// The largest picture decoded: 8192 by 8192 pixels in all (256 MB as 32-bit
// pixels, held up to three times while it is loaded), 32768 on a side.
const uint32_t kGdipMaxPictureSide = 32768;
const uint64_t kGdipMaxPicturePixels = 8192ull * 8192ull;
bool GdipPictureSizeAllowed(uint32_t width, uint32_t height);

// The largest picture file read: the largest picture as 32-bit pixels
// (256 MiB) and a MiB for its headers and metadata. A JPEG or an 8-bit PNG of
// it is smaller, even stored without compression; a larger file is refused
// before a byte of it is read.
const uint64_t kGdipMaxFileBytes = kGdipMaxPicturePixels * 4 + (1u << 20);

#endif
