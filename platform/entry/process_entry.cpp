// The Linux process entry: the resources linked into the executable become
// the module, and WinMain runs as Windows would call it.
#include <windows.h>

#include <string>

#include "../user/resource_private.h"
#include "resource_data.h"

int main(int argc, char** argv) {
    HINSTANCE instance = UserCreateModule(qelResourceData, qelResourceSize);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    // The process ends here as a Windows process ends after WinMain: its
    // windows and devices go with it (closing the sound device by hand can
    // take more than a second with PulseAudio).
    return WinMain(instance, nullptr, &commandLine[0], SW_SHOWDEFAULT);
}
