// user32: message boxes. Each one also leaves a line "caption: text" on
// stderr, so that a box on a machine nobody watches is still read.
#include <windows.h>

#include <cstdio>

#include "../testing/user.h"
#include "user_internal.h"

// Tests record boxes instead of showing them (platform/testing/user.h).
bool userRecordBoxes = false;
std::vector<TestMessageBox> userBoxes;

// Shows the box with its one OK button and waits for it; IDOK.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string utf8Text = UserAnsiToUtf8(text ? text : "");
    std::string utf8Caption = UserAnsiToUtf8(caption ? caption : "Error");
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    std::fflush(stderr);
    if (userRecordBoxes) {
        userBoxes.push_back(
            {owner, text ? text : "", caption ? caption : "", type});
        return IDOK;
    }
    SDL_MessageBoxButtonData ok = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                                       SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                                   IDOK, "OK"};
    SDL_MessageBoxData box = {};
    box.flags = SDL_MESSAGEBOX_ERROR;
    box.window = (IsWindowVisible(owner) && owner->sdl) ? owner->sdl : nullptr;
    box.title = utf8Caption.c_str();
    box.message = utf8Text.c_str();
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = IDOK;
    // Without a display there is no one to answer: the line above stands.
    if (UserInitVideo() && UserHasDisplay()) SDL_ShowMessageBox(&box, &pressed);
    return IDOK;
}
