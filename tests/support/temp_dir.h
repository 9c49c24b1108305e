// A scratch directory removed with all it holds, and a working directory
// for a test's length (the game reads its data files from its own).
#ifndef QEL_TESTS_SUPPORT_TEMP_DIR_H
#define QEL_TESTS_SUPPORT_TEMP_DIR_H

#include <SDL.h>
#include <SDL_image.h>
#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

struct TempDir {
    std::string path;
    TempDir() {
        char pattern[] = "/tmp/qel-test-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
    }
    ~TempDir() {
        auto remove = [](const char* entry, const struct stat*, int,
                         struct FTW*) { return std::remove(entry), 0; };
        if (!path.empty()) nftw(path.c_str(), remove, 8, FTW_DEPTH | FTW_PHYS);
    }
    std::string File(const std::string& name) const {
        return path + "/" + name;
    }
    std::string WriteBytes(const std::string& name,
                           const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }
    // A JPEG of `width` by `height` pixels: its left third pure white, the
    // rest of `color` (0x00RRGGBB). True when written.
    bool WriteJpeg(const std::string& name, int width, int height,
                   uint32_t color) const {
        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(
            0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!picture) return false;
        SDL_FillRect(picture, nullptr, 0xFF000000 | color);
        SDL_Rect band = {0, 0, width / 3, height};
        SDL_FillRect(picture, &band, 0xFFFFFFFF);
        bool ok = IMG_SaveJPG(picture, File(name).c_str(), 95) == 0;
        SDL_FreeSurface(picture);
        return ok;
    }
};

struct WorkingDirectory {
    std::string previous;
    explicit WorkingDirectory(const std::string& dir) {
        char buffer[4096];
        if (getcwd(buffer, sizeof(buffer))) previous = buffer;
        if (chdir(dir.c_str()) != 0) previous.clear();
    }
    ~WorkingDirectory() {
        if (!previous.empty() && chdir(previous.c_str()) != 0) std::abort();
    }
};

#endif
