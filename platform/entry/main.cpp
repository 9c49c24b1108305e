// The Linux process entry: the resources linked into the executable become
// the module, and WinMain runs as Windows would call it.
#include <windows.h>

#include <SDL.h>

#include <string>

#include "../user/resource_internal.h"

extern const unsigned char qelResourceData[];
extern const size_t qelResourceSize;

int main(int argc, char** argv) {
    HINSTANCE instance = UserCreateModule(qelResourceData, qelResourceSize);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    int code = WinMain(instance, nullptr, &commandLine[0], SW_SHOWDEFAULT);
    SDL_Quit();
    return code;
}
