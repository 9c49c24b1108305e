// The icon as the Linux desktop wants it: one true-colour image of the .ico
// the resources embed, as a PNG for the hicolor theme. Reading the .ico
// rather than drawing again keeps the two desktops' icons the same pixels.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets.h"

namespace {

uint32_t Le16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

bool ReadAll(const std::string& path, std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// The BGRA rows, bottom up, of the size by size 32-bit DIB image in the
// icon; an error message when there is none or the file is damaged.
const char* FindImage(const std::vector<unsigned char>& ico, int size,
                      const unsigned char** rows) {
    if (ico.size() < 6 || Le16(&ico[0]) != 0 || Le16(&ico[2]) != 1)
        return "not an icon file";
    uint32_t count = Le16(&ico[4]);
    if (ico.size() < 6 + 16 * (size_t)count) return "truncated directory";
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* e = &ico[6 + 16 * i];
        int width = e[0] ? e[0] : 256;
        int height = e[1] ? e[1] : 256;
        if (width != size || height != size || Le16(e + 6) != 32) continue;
        uint32_t length = Le32(e + 8), offset = Le32(e + 12);
        if (offset > ico.size() || length > ico.size() - offset)
            return "image outside the file";
        const unsigned char* dib = &ico[offset];
        // Rows of XOR image, then the AND mask, which alpha makes redundant.
        size_t pixels = (size_t)size * size * 4;
        if (length < 40 || Le32(dib) < 40 || Le32(dib) > length ||
            length - Le32(dib) < pixels)
            return "truncated image";
        if ((int32_t)Le32(dib + 4) != size ||
            (int32_t)Le32(dib + 8) != 2 * size || Le16(dib + 14) != 32 ||
            Le32(dib + 16) != 0)
            return "not an uncompressed 32-bit image";
        *rows = dib + Le32(dib);
        return nullptr;
    }
    return "no 32-bit image of that size";
}

} // namespace

bool WriteIconPng(const std::string& icoPath, int size,
                  const std::string& pngPath) {
    std::vector<unsigned char> ico;
    if (!ReadAll(icoPath, ico)) {
        std::fprintf(stderr, "qel-assets: cannot read %s\n", icoPath.c_str());
        return false;
    }
    const unsigned char* rows = nullptr;
    if (const char* error = FindImage(ico, size, &rows)) {
        std::fprintf(stderr, "qel-assets: %s: %s\n", icoPath.c_str(), error);
        return false;
    }
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormat(
        0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!image) {
        std::fprintf(stderr, "qel-assets: %s\n", SDL_GetError());
        return false;
    }
    for (int y = 0; y < size; ++y) {
        // Bottom-up rows; BGRA in memory is ARGB8888 read little-endian.
        const unsigned char* src = rows + (size_t)(size - 1 - y) * size * 4;
        std::memcpy((unsigned char*)image->pixels + (size_t)y * image->pitch,
                    src, (size_t)size * 4);
    }
    bool ok = IMG_SavePNG(image, pngPath.c_str()) == 0;
    if (!ok) {
        std::fprintf(stderr, "qel-assets: cannot write %s: %s\n",
                     pngPath.c_str(), SDL_GetError());
        std::remove(pngPath.c_str());
    }
    SDL_FreeSurface(image);
    return ok;
}
