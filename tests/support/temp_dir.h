// A scratch directory for tests that read files, removed with its files.
#ifndef QEL_TESTS_UNIT_TEMP_DIR_H
#define QEL_TESTS_UNIT_TEMP_DIR_H

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/qel-test-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
    }
    ~TempDir() {
        for (const std::string& file : files)
            std::remove(file.c_str());
        rmdir(path.c_str());
    }
    std::string File(const std::string& name) {
        files.push_back(path + "/" + name);
        return files.back();
    }
    std::string WriteBytes(const std::string& name, const std::string& bytes) {
        std::string file = File(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    // A JPEG of `width` by `height` pixels: a pure white band on the left,
    // the rest of `color` (0x00RRGGBB). True when written.
    bool WriteJpeg(const std::string& name, int width, int height,
                   uint32_t color) {
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

    std::string path;
    std::vector<std::string> files;
};

// Runs the test inside `dir`, as the game runs in its data directory.
struct WorkingDirectory {
    explicit WorkingDirectory(const std::string& dir) {
        char buffer[4096];
        if (getcwd(buffer, sizeof(buffer))) previous = buffer;
        ok = chdir(dir.c_str()) == 0;
    }
    ~WorkingDirectory() {
        if (!previous.empty() && chdir(previous.c_str()) != 0) std::abort();
    }
    std::string previous;
    bool ok = false;
};

#endif
