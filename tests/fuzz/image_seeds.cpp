// Writes the seed corpus of the picture fuzz target into a directory: the
// formats decoded, small, and the bad files the tests give the loader (cut,
// not a picture, a header claiming an enormous picture).
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string folder;

bool Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    FILE* file = fopen((folder + "/" + name).c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

std::vector<unsigned char> Read(const std::string& name) {
    std::vector<unsigned char> bytes;
    FILE* file = fopen((folder + "/" + name).c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = fgetc(file)) != EOF)
        bytes.push_back((unsigned char)c);
    fclose(file);
    return bytes;
}

// A picture with white (the colour key), colour and a soft edge.
SDL_Surface* Picture(int width, int height) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(
        0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = x < width / 2
                                 ? 0xFFFFFFFF
                                 : 0xFF000000 | (uint32_t)(x * 37) << 16 |
                                       (uint32_t)(y * 11) << 8 | 0x40;
            if (y == height - 1) pixel = (pixel & 0xFFFFFF) | 0x80000000;
            ((uint32_t*)((uint8_t*)surface->pixels + y * surface->pitch))[x] =
                pixel;
        }
    return surface;
}

// The first start-of-frame segment's size made `size` by `size`.
void ClaimJpegSize(std::vector<unsigned char>& jpeg, unsigned size) {
    for (size_t i = 2; i + 9 < jpeg.size();) {
        if (jpeg[i] != 0xFF) return;
        unsigned marker = jpeg[i + 1], length = jpeg[i + 2] << 8 | jpeg[i + 3];
        if (marker == 0xC0 || marker == 0xC2) {
            jpeg[i + 5] = jpeg[i + 7] = (unsigned char)(size >> 8);
            jpeg[i + 6] = jpeg[i + 8] = (unsigned char)size;
            return;
        }
        i += 2 + length;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    SDL_Surface* small = Picture(24, 10);
    SDL_Surface* one = Picture(1, 1);
    if (!small || !one) return 1;
    bool ok = IMG_SaveJPG(small, (folder + "/small.jpg").c_str(), 90) == 0 &&
              IMG_SaveJPG(one, (folder + "/one_pixel.jpg").c_str(), 90) == 0 &&
              IMG_SavePNG(small, (folder + "/alpha.png").c_str()) == 0 &&
              SDL_SaveBMP(small, (folder + "/small.bmp").c_str()) == 0;
    SDL_FreeSurface(small);
    SDL_FreeSurface(one);
    if (!ok) {
        fprintf(stderr, "cannot write the pictures: %s\n", SDL_GetError());
        return 1;
    }
    std::vector<unsigned char> jpeg = Read("small.jpg");
    std::vector<unsigned char> cut(jpeg.begin(),
                                   jpeg.begin() + jpeg.size() / 2);
    std::vector<unsigned char> huge = jpeg;
    ClaimJpegSize(huge, 65000);
    std::vector<unsigned char> png = Read("alpha.png");
    std::vector<unsigned char> widePng = png;
    if (widePng.size() > 24) widePng[16] = 0x7F; // width 2^30 and more
    // A 2 by 1 GIF: two colours, one image, LZW minimum code size 2.
    std::vector<unsigned char> gif = {
        'G', 'I', 'F',  '8',  '9',  'a',  2,    0,    1,    0,    0x80,
        0,   0,   0xFF, 0xFF, 0xFF, 0x10, 0x60, 0x20, 0x21, 0xF9, 4,
        0,   0,   0,    0,    0,    0x2C, 0,    0,    0,    0,    2,
        0,   1,   0,    0,    2,    2,    0x44, 0x01, 0,    0x3B};
    // A first image of no width, then one of 17410 by 37377 pixels, which
    // SDL_image's reader would go on to (GIF is refused for that).
    std::vector<unsigned char> secondHuge = {
        'G',  'I',  'F',  '8',  '9',  'a',  2,    0,    1,    0, 0x80, 0, 0,
        0xFF, 0xFF, 0xFF, 0x10, 0x60, 0x20, 0x2C, 0,    0,    0, 0,    0, 0,
        5,    0,    0,    2,    2,    0x44, 0x01, 0,    0x2C, 0, 0,    0, 0,
        0x02, 0x44, 0x01, 0x92, 0,    2,    2,    0x44, 0x01, 0, 0x3B};
    // A JPEG frame header of 257 by 257 pixels with no zero byte, then an
    // SVG of 40000 by 40000 pixels: only the JPEG decoder may look at it.
    std::vector<unsigned char> svgBehindJpeg = {
        0xFF, 0xD8, 0xFF, 0xC0, 0x01, 0x01, 8, 0x01, 0x01, 0x01, 0x01};
    svgBehindJpeg.resize(4 + 0x0101, 0x01);
    std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='40000' "
                      "height='40000'><rect width='9' height='9'/></svg>";
    svgBehindJpeg.insert(svgBehindJpeg.end(), svg.begin(), svg.end());
    ok = Write("second_image_huge.gif", secondHuge) &&
         Write("svg_behind_jpeg.jpg", svgBehindJpeg) && Write("cut.jpg", cut) &&
         Write("claims_65000.jpg", huge) && Write("claims_wide.png", widePng) &&
         Write("tiny.gif", gif) &&
         Write("text.jpg", std::vector<unsigned char>({'n', 'o', 't', ' ', 'a',
                                                       ' ', 'p', 'i', 'c'})) &&
         Write("empty.jpg", {});
    return ok ? 0 : 1;
}
