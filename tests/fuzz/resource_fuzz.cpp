// libFuzzer target: the resource reading of the Linux stand-in. The first
// byte chooses what the rest is: 0 a .res image, made the module and read as
// the game and the menu and dialog loops read it; 1 a menu template; 2 a
// dialog template, given to their parsers alone.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/resources/resource.h"
#include "user/resource_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // A copy, so that a read past the end is one past the input's own bytes.
    std::vector<uint8_t> body(data + 1, data + size);
    DWORD length = (DWORD)body.size();
    UserMenu menu;
    UserDialogTemplate dialog;
    if (data[0] % 3 == 1) UserParseMenu(body.data(), length, menu);
    if (data[0] % 3 == 2) UserParseDialog(body.data(), length, dialog);
    HINSTANCE module = nullptr;
    if (data[0] % 3 == 0) module = UserCreateModule(body.data(), length);
    if (!module) return 0;
    for (int n : {1, 2, 5, 100}) { // cut to the buffer, always terminated
        char buffer[100];
        std::memset(buffer, 'x', sizeof buffer);
        int got = LoadStringA(module, STR_TITLE, buffer, n);
        if (got < 0 || got >= n || buffer[got] != 0) abort();
    }
    const void* found =
        UserFindResource(module, RT_MENU, MAKEINTRESOURCEA(RES_MAIN), &length);
    UserParseMenu(found, length, menu);
    found = UserFindResource(module, RT_DIALOG, MAKEINTRESOURCEA(DLG_ABOUT),
                             &length);
    UserParseDialog(found, length, dialog);
    LoadAcceleratorsA(module, MAKEINTRESOURCEA(RES_MAIN));
    std::vector<uint32_t> argb;
    for (WORD id : {ICON_LARGE, ICON_SMALL}) {
        int w = 0, h = 0;
        if (UserIconImage(LoadIconA(module, MAKEINTRESOURCEA(id)), 16, argb, w,
                          h) &&
            (w != 16 || h != 16 || argb.size() != 16 * 16))
            abort();
    }
    return 0;
}
