// libFuzzer target: the resource reading of the Linux stand-in. The first
// byte chooses what the rest is:
//   0: a whole .res image, made the module and read as the game reads it
//      (strings, menu, dialog, icons, accelerators);
//   1: a menu template; 2: a dialog template, given to their parsers alone.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi/dc.h"
#include "user/resource_internal.h"

namespace {

void ReadStrings(HINSTANCE module) {
    static const UINT ids[] = {0, 1, 15, 16, 103, 109, 4096, 65535};
    for (UINT id : ids)
        for (int size : {1, 2, 5, 100}) {
            char buffer[100];
            std::memset(buffer, 'x', sizeof(buffer));
            int length = LoadStringA(module, id, buffer, size);
            // Cut to the buffer, always terminated.
            if (length < 0 || length >= size || buffer[length] != 0) abort();
        }
}

void ReadTemplates(HINSTANCE module) {
    for (WORD name : {103, 109}) {
        DWORD size = 0;
        const void* data = UserFindResource(module, MAKEINTRESOURCEA(4),
                                            MAKEINTRESOURCEA(name), &size);
        UserMenu menu;
        if (data) UserParseMenu(data, size, menu);
        data = UserFindResource(module, MAKEINTRESOURCEA(5),
                                MAKEINTRESOURCEA(name), &size);
        UserDialogTemplate dialog;
        if (data) UserParseDialog(data, size, dialog);
    }
}

void ReadIcons(HINSTANCE module) {
    std::vector<uint32_t> screen(64 * 64, 0);
    PixelMap map = {screen.data(), 64, 64, 64};
    HDC dc = GdiCreatePixelDC(map);
    for (WORD name : {107, 108}) {
        HICON icon = LoadIconA(module, MAKEINTRESOURCEA(name));
        if (!icon) continue;
        for (int wanted : {16, 32, 48}) {
            std::vector<uint32_t> argb;
            int width = 0, height = 0;
            if (UserIconImage(icon, wanted, argb, width, height) &&
                (width <= 0 || height <= 0 ||
                 argb.size() != (size_t)width * (size_t)height))
                abort();
        }
        DrawIconEx(dc, -3, 40, icon, 32, 32, 0, nullptr, 0);
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, 0);
    }
    GdiDeletePixelDC(dc);
}

void ReadAccelerators(HINSTANCE module) {
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(109));
    std::vector<UserAccelEntry> entries;
    if (table) UserAcceleratorEntries(table, entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t* body = data + 1;
    DWORD length = (DWORD)(size - 1);
    // Copies, so that a read past the end is one past the input's own bytes.
    std::vector<uint8_t> copy(body, body + length);
    switch (data[0] % 3) {
    case 0: {
        HINSTANCE module = UserCreateModule(copy.data(), copy.size());
        if (!module) return 0;
        ReadStrings(module);
        ReadTemplates(module);
        ReadIcons(module);
        ReadAccelerators(module);
        break;
    }
    case 1: {
        UserMenu menu;
        UserParseMenu(copy.data(), length, menu);
        break;
    }
    case 2: {
        UserDialogTemplate dialog;
        UserParseDialog(copy.data(), length, dialog);
        break;
    }
    }
    return 0;
}
