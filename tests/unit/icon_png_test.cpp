// qel-assets --icon-png ICO SIZE FILE, run as the build runs it: the desktop
// icons of the Linux package are the true-colour images of the game's .ico,
// pixel for pixel, with their transparency.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

// build/qel-assets, beside the tests/ folder that holds this binary.
std::string GeneratorPath() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "";
    std::string path(exe, n);
    path = path.substr(0, path.rfind('/')); // build/tests
    path = path.substr(0, path.rfind('/')); // build
    return path + "/qel-assets";
}

// The generator's exit code (-1 when it did not exit), stderr discarded.
int Generate(const std::string& arguments) {
    std::string command =
        "'" + GeneratorPath() + "' " + arguments + " 2>/dev/null";
    int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// The straight ARGB of pixel (x, y) of the synthetic icon's 32-bit image:
// every pixel different, and alpha varying, so that a flipped row or a
// swapped channel shows.
uint32_t Pattern(int size, int x, int y) {
    uint32_t a = uint32_t(255 - 7 * y) & 0xFF;
    return a << 24 | uint32_t(x * 13) << 16 | uint32_t(y * 11) << 8 |
           uint32_t((x + y * size) & 0xFF);
}

// An icon file of two images: a 4-bit one of `size` (which must be passed
// over) and then the 32-bit one of Pattern, rows stored bottom up.
std::vector<uint8_t> SyntheticIcon(int size) {
    std::vector<uint8_t> low, full;
    // 4-bit: header, 16-colour palette, pixels, AND mask (all zero).
    PutLe(low, 40, 4);
    PutLe(low, size, 4);
    PutLe(low, 2 * size, 4);
    PutLe(low, 1, 2);
    PutLe(low, 4, 2);
    low.resize(40 + 64 + size * size / 2 + size * 4, 0);
    PutLe(full, 40, 4);
    PutLe(full, size, 4);
    PutLe(full, 2 * size, 4);
    PutLe(full, 1, 2);
    PutLe(full, 32, 2);
    full.resize(40, 0);
    for (int row = size - 1; row >= 0; --row)
        for (int x = 0; x < size; ++x) {
            uint32_t p = Pattern(size, x, row);
            full.push_back(uint8_t(p));       // blue
            full.push_back(uint8_t(p >> 8));  // green
            full.push_back(uint8_t(p >> 16)); // red
            full.push_back(uint8_t(p >> 24)); // alpha
        }
    full.resize(full.size() + size * 4, 0); // AND mask, 32 bits a row

    std::vector<uint8_t> ico;
    PutLe(ico, 0, 2);
    PutLe(ico, 1, 2);
    PutLe(ico, 2, 2);
    uint32_t offset = 6 + 2 * 16;
    const std::vector<uint8_t>* images[] = {&low, &full};
    const int bits[] = {4, 32};
    for (int i = 0; i < 2; ++i) {
        ico.push_back(uint8_t(size));
        ico.push_back(uint8_t(size));
        ico.push_back(bits[i] == 4 ? 16 : 0);
        ico.push_back(0);
        PutLe(ico, 1, 2);
        PutLe(ico, bits[i], 2);
        PutLe(ico, uint32_t(images[i]->size()), 4);
        PutLe(ico, offset, 4);
        offset += uint32_t(images[i]->size());
    }
    ico.insert(ico.end(), low.begin(), low.end());
    ico.insert(ico.end(), full.begin(), full.end());
    return ico;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return bool(out);
}

// The picture as straight ARGB8888 pixels, row by row; empty if unreadable.
std::vector<uint32_t> LoadArgb(const std::string& path, int* w, int* h) {
    std::vector<uint32_t> pixels;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) return pixels;
    SDL_Surface* argb =
        SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) return pixels;
    *w = argb->w;
    *h = argb->h;
    for (int y = 0; y < argb->h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        pixels.insert(pixels.end(), row, row + argb->w);
    }
    SDL_FreeSurface(argb);
    return pixels;
}

class IconPngTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path.empty());
        ASSERT_TRUE(Exists(GeneratorPath())) << GeneratorPath();
    }
    // A file of the temporary folder, removed with it.
    std::string Path(const char* name) { return dir.File(name); }
    TempDir dir;
};

TEST_F(IconPngTest, TheTrueColourImageOfTheAskedSizeComesOutAsItIs) {
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(WriteFile(Path("test.ico"), SyntheticIcon(size)));
        ASSERT_EQ(Generate("--icon-png '" + Path("test.ico") + "' " +
                           std::to_string(size) + " '" + Path("out.png") + "'"),
                  0);
        int w = 0, h = 0;
        std::vector<uint32_t> png = LoadArgb(Path("out.png"), &w, &h);
        ASSERT_EQ(w, size);
        ASSERT_EQ(h, size);
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (png[y * size + x] != Pattern(size, x, y)) ++wrong;
        EXPECT_EQ(wrong, 0) << "first row " << std::hex << png[0] << " against "
                            << Pattern(size, 0, 0);
    }
}

TEST_F(IconPngTest, TheGamesIconGivesTheThreeDesktopSizesWithTransparency) {
    ASSERT_EQ(Generate("--icon '" + Path("qel.ico") + "'"), 0);
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        std::string png = Path("qel.png");
        ASSERT_EQ(Generate("--icon-png '" + Path("qel.ico") + "' " +
                           std::to_string(size) + " '" + png + "'"),
                  0);
        int w = 0, h = 0;
        std::vector<uint32_t> pixels = LoadArgb(png, &w, &h);
        ASSERT_EQ(w, size);
        ASSERT_EQ(h, size);
        EXPECT_LT(pixels[0] >> 24, 0x40u) << "a see-through corner";
        EXPECT_EQ(pixels[size / 2 * size + size / 2] >> 24, 0xFFu)
            << "an opaque middle";
    }
}

TEST_F(IconPngTest, BadInputFailsWithoutLeavingAFile) {
    std::string png = Path("out.png");
    EXPECT_NE(
        Generate("--icon-png '" + Path("missing.ico") + "' 16 '" + png + "'"),
        0);
    ASSERT_TRUE(WriteFile(Path("text.ico"), {'n', 'o', 't', ' ', 'a', 'n', ' ',
                                             'i', 'c', 'o', 'n'}));
    EXPECT_NE(
        Generate("--icon-png '" + Path("text.ico") + "' 16 '" + png + "'"), 0);
    // A directory that promises more images than the file holds.
    std::vector<uint8_t> cut = SyntheticIcon(16);
    cut.resize(6 + 16 + 8);
    ASSERT_TRUE(WriteFile(Path("cut.ico"), cut));
    EXPECT_NE(Generate("--icon-png '" + Path("cut.ico") + "' 16 '" + png + "'"),
              0);
    // An image that runs past the end of the file.
    std::vector<uint8_t> shortened = SyntheticIcon(16);
    shortened.resize(shortened.size() - 100);
    ASSERT_TRUE(WriteFile(Path("short.ico"), shortened));
    EXPECT_NE(
        Generate("--icon-png '" + Path("short.ico") + "' 16 '" + png + "'"), 0);
    // No 32-bit image of that size.
    ASSERT_TRUE(WriteFile(Path("test.ico"), SyntheticIcon(16)));
    EXPECT_NE(
        Generate("--icon-png '" + Path("test.ico") + "' 48 '" + png + "'"), 0);
    EXPECT_FALSE(Exists(png));
    // An unwritable destination.
    EXPECT_NE(Generate("--icon-png '" + Path("test.ico") + "' 16 '" + dir.path +
                       "/no/such/folder/out.png'"),
              0);
}

} // namespace
