// user32: message boxes, in an SDL window of their own drawn with the
// stand-in's GDI (SDL_ttf through fontconfig), so that they need no X core
// fonts and show Chinese. Each one also leaves a line "caption: text" on
// stderr, so that a box on a machine nobody watches is still read.
#include <windows.h>

#include <cstdio>

#include "../kernel/codepage.h"
#include "msgbox_draw.h"
#include "user_private.h"
#include "../trace/trace.h"

// Tests record boxes instead of showing them, or run real boxes on SDL's
// offscreen driver, which otherwise is no display.
bool userRecordBoxes = false;
bool userBoxesAnyDriver = false;
std::vector<UserBoxRecord> userBoxes;
UserShownBox userShownBox;

namespace {

// Copies the picture into the box's window.
void Present(SDL_Window* sdl, const PixelMap& picture) {
    SDL_Surface* target = SDL_GetWindowSurface(sdl);
    if (!target) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        picture.pixels, picture.width, picture.height, 32, picture.pitch * 4,
        SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(sdl);
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The window a box belongs over: its owner when shown.
SDL_Window* ShownOwner(HWND owner) {
    return IsWindowVisible(owner) && owner->sdl ? owner->sdl : nullptr;
}

// A window of its own, centred on the owner (or the screen), above it.
SDL_Window* OpenBox(HWND owner, const std::string& utf8Caption, int width,
                    int height) {
    SDL_Rect area = {0, 0, kScreenWidth, kScreenHeight};
    SDL_Window* parent = ShownOwner(owner);
    if (parent) {
        SDL_GetWindowPosition(parent, &area.x, &area.y);
        SDL_GetWindowSize(parent, &area.w, &area.h);
    } else {
        SDL_GetDisplayBounds(0, &area);
    }
    int x = area.x + (area.w - width) / 2, y = area.y + (area.h - height) / 2;
    // A dialog to the window manager: no task bar entry, kept over its
    // owner.
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_DIALOG");
    SDL_Window* sdl = SDL_CreateWindow(
        utf8Caption.c_str(), x, y, width, height,
        SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
    SDL_ResetHint(SDL_HINT_X11_WINDOW_TYPE);
    if (!sdl) {
        SDL_Log("SDL_CreateWindow: %s", SDL_GetError());
        return nullptr;
    }
    UserReadKeysNotText();
    if (parent) SDL_SetWindowModalFor(sdl, parent);
    SDL_ShowWindow(sdl);
    // The keyboard comes to the box, with a window manager or without.
    SDL_RaiseWindow(sdl);
    SDL_SetWindowInputFocus(sdl);
    SDL_GetWindowPosition(sdl, &x, &y);
    userShownBox.window = SDL_GetWindowID(sdl);
    userShownBox.rect = {x, y, x + width, y + height};
    return sdl;
}

// The box's loop: nothing else runs until it is answered. Input for other
// windows is dropped, as a disabled owner's is.
void RunBox(SDL_Window* sdl, UserBoxPicture& picture) {
    uint32_t id = SDL_GetWindowID(sdl);
    bool pressed = false;      // OK held down by the mouse or the space bar
    bool closePressed = false; // the caption's close box held down
    UserSetModalWindow(id);
    Present(sdl, picture.Draw(false));
    for (;;) {
        UserInput in;
        if (!UserTakeModalInput(in, USER_MODAL_POLL)) continue;
        if (in.window && in.window != id) continue;
        bool was = pressed;
        switch (in.kind) {
        case UserInput::Close:
            return;
        case UserInput::Expose:
            Present(sdl, picture.Draw(pressed));
            continue;
        case UserInput::Click:
            if (in.down) {
                pressed = Inside(picture.Button(), in.x, in.y);
                closePressed = Inside(picture.CloseBox(), in.x, in.y);
            } else {
                // A click counts where the button went down and came up.
                if ((pressed && Inside(picture.Button(), in.x, in.y)) ||
                    (closePressed && Inside(picture.CloseBox(), in.x, in.y)))
                    return;
                pressed = closePressed = false;
            }
            break;
        case UserInput::Key:
            if (in.down && in.alt && in.virtualKey == VK_F4) return;
            if (in.down &&
                (in.virtualKey == VK_RETURN || in.virtualKey == VK_ESCAPE))
                return;
            // The space bar pushes the button and clicks it coming up.
            if (in.virtualKey == VK_SPACE && in.down) pressed = true;
            if (in.virtualKey == VK_SPACE && !in.down && pressed) return;
            break;
        }
        if (pressed != was) Present(sdl, picture.Draw(pressed));
    }
}

// Clicks and exposures were for the box alone: the main loop never sees
// them. Keys after the answer stay for the window that has the keyboard.
void DropBoxInput() {
    std::vector<UserInput> kept;
    UserInput in;
    while (UserTakeInput(in))
        if (in.kind == UserInput::Key || in.kind == UserInput::Close)
            kept.push_back(in);
    for (const UserInput& k : kept)
        UserQueueInput(k);
}

} // namespace

// Shows the box with its one OK button and waits for it; IDOK. Enter,
// Space, Escape, a click on OK or the close box, Alt+F4 and the close
// request answer it. The type (the game's is MB_OK) is recorded, not shown.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    TRACE(TRACE_USER, "owner=%p type=0x%x", (void*)owner, (unsigned)type);
    std::string ansiText = text ? text : "";
    std::string ansiCaption = caption ? caption : "Error";
    std::string utf8Caption =
        AnsiToUtf8(ansiCaption.data(), ansiCaption.size());
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(),
                 AnsiToUtf8(ansiText.data(), ansiText.size()).c_str());
    std::fflush(stderr);
    if (userRecordBoxes) {
        userBoxes.push_back(
            {owner, text ? text : "", caption ? caption : "", type});
        return IDOK;
    }
    // Without a display there is no one to answer: the line above stands.
    if (!UserInitVideo() || !(UserHasDisplay() || userBoxesAnyDriver))
        return IDOK;

    UserBoxPicture picture(ansiText, ansiCaption);
    SDL_Window* sdl =
        OpenBox(owner, utf8Caption, picture.Width(), picture.Height());
    if (!sdl) return IDOK;
    RunBox(sdl, picture);
    UserSetModalWindow(0);
    userShownBox.window = 0;
    SDL_DestroyWindow(sdl);
    DropBoxInput();
    // The keyboard goes back to the owner, or to the main window for a box
    // with none.
    SDL_Window* back = ShownOwner(IsWindow(owner) ? owner : UserMainWindow());
    if (back) {
        SDL_RaiseWindow(back);
        SDL_SetWindowInputFocus(back);
    }
    return IDOK;
}
