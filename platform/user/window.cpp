// user32: window classes and windows. A top-level window is a borderless SDL
// window covering the desktop, which asks a window manager for full screen
// (above any panel); it shows 1024 by 768 frames scaled and letterboxed, as
// the exclusive full-screen display the game asks for.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "../kernel/codepage.h"
#include "paint.h"
#include "resource_private.h"
#include "user_private.h"
#include "../trace/trace.h"

static std::map<std::string, WNDCLASSEXA> classes;
static std::vector<std::unique_ptr<HWND__>> windows;
static bool videoTried, videoReady;
static void UserSetWindowIcon(HWND window);

bool UserInitVideo() {
    if (videoTried) return videoReady;
    videoTried = true;
    // The software renderer's memory window surface is all the frame needs:
    // no GPU driver is loaded.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!videoReady) SDL_Log("SDL video: %s", SDL_GetError());
    // The input pump reads X's own events for the key state it reports.
    if (videoReady) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return videoReady;
}

bool UserHasDisplay() {
    if (!UserInitVideo()) return false;
    if (SDL_getenv("SDL_VIDEODRIVER")) return true; // chosen on purpose
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "x11") == 0 ||
                      std::strcmp(driver, "wayland") == 0);
}

HWND__* UserFindWindow(HWND window) {
    for (auto& w : windows)
        if (w.get() == window) return w.get();
    return nullptr;
}

BOOL WINAPI IsWindow(HWND window) {
    HWND__* w = UserFindWindow(window);
    return w && !w->destroyed;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    return IsWindow(window) && window->visible;
}

HWND UserMainWindow() {
    for (auto& w : windows)
        if (!w->destroyed && !w->dialogProc) return w.get();
    return nullptr;
}

int UserWindowRecords() {
    return (int)windows.size();
}

// Registers the class under its name; a second class of that name fails.
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* cls) {
    TRACE(TRACE_USER, "class=\"%s\"",
          cls && cls->lpszClassName ? cls->lpszClassName : "(nil)");
    if (!cls || cls->cbSize != sizeof(WNDCLASSEXA) || !cls->lpszClassName ||
        IS_INTRESOURCE(cls->lpszClassName) || !cls->lpfnWndProc)
        return 0;
    std::string name = cls->lpszClassName;
    if (name.empty() || classes.count(name)) return 0;
    classes[name] = *cls;
    return (ATOM)(0xC000 + classes.size());
}

// Creates a top-level window of a registered class, hidden until
// ShowWindow; WM_CREATE is sent.
HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD,
                            int, int, int, int, HWND, HMENU, HINSTANCE instance,
                            LPVOID) {
    if (!className || IS_INTRESOURCE(className)) return nullptr;
    auto cls = classes.find(className);
    if (cls == classes.end()) return nullptr;
    if (!UserInitVideo()) return nullptr;

    SDL_Rect desktop = {0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayBounds(0, &desktop);
    std::string title = windowName ? windowName : "";
    auto w = std::make_unique<HWND__>();
    w->proc = cls->second.lpfnWndProc;
    w->instance = instance;
    w->menuName = cls->second.lpszMenuName;
    w->smallIcon =
        cls->second.hIconSm ? cls->second.hIconSm : cls->second.hIcon;
    w->sdl = SDL_CreateWindow(AnsiToUtf8(title.data(), title.size()).c_str(),
                              desktop.x, desktop.y, desktop.w, desktop.h,
                              SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS |
                                  SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (!w->sdl) {
        SDL_Log("SDL_CreateWindow: %s", SDL_GetError());
        return nullptr;
    }
    UserReadKeysNotText();
    HWND window = w.get();
    windows.push_back(std::move(w));
    UserSetWindowIcon(window);
    SendMessageA(window, WM_CREATE, 0, 0);
    return window;
}

// A window manager may miss the first request: weston's manager for
// XWayland drops one that comes before it has the window's Wayland surface,
// and leaves an ordinary window at 64,96. Asked again for some seconds after
// the show, a few times at most, in case one refuses full screen for good.
static const int kFullScreenAsks = 3;
static const uint32_t kFullScreenWatchMs = 10000, kFullScreenLookMs = 250;

void UserKeepFullScreen() {
    static uint32_t lastLook;
    uint32_t now = SDL_GetTicks();
    if (now - lastLook < kFullScreenLookMs) return;
    lastLook = now;
    HWND w = UserMainWindow();
    if (!w || !w->sdl || !w->visible || w->fullScreenAsks >= kFullScreenAsks ||
        now - w->shownAt > kFullScreenWatchMs)
        return;
    Uint32 flags = SDL_GetWindowFlags(w->sdl);
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) !=
            SDL_WINDOW_FULLSCREEN_DESKTOP ||
        (flags & SDL_WINDOW_MINIMIZED))
        return;
    SDL_Rect display;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(w->sdl), &display) ||
        UserCoversDisplay(w->sdl, display))
        return;
    ++w->fullScreenAsks;
    // SDL asks only on a change of its own state.
    SDL_SetWindowFullscreen(w->sdl, 0);
    SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// The class's small icon becomes the SDL window's icon.
static void UserSetWindowIcon(HWND window) {
    std::vector<uint32_t> argb;
    int width = 0, height = 0;
    if (!window->smallIcon ||
        !UserIconImage(window->smallIcon, 16, argb, width, height))
        return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        argb.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(window->sdl, icon);
    SDL_FreeSurface(icon);
}

HWND UserCreateDialogWindow(HWND owner, DLGPROC dialogProc) {
    auto w = std::make_unique<HWND__>();
    w->owner = owner;
    w->dialogProc = dialogProc;
    w->visible = true;
    HWND dialog = w.get();
    windows.push_back(std::move(w));
    return dialog;
}

void UserDestroyDialogWindow(HWND dialog) {
    if (!IsWindow(dialog)) return;
    SendMessageA(dialog, WM_DESTROY, 0, 0);
    windows.erase(std::find_if(windows.begin(), windows.end(),
                               [dialog](const std::unique_ptr<HWND__>& w) {
                                   return w.get() == dialog;
                               }));
}

// Shows or hides the window; a shown window takes the keyboard.
BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    TRACE(TRACE_USER, "window=%p showCommand=%d", (void*)window, showCommand);
    if (!IsWindow(window)) return FALSE;
    BOOL wasVisible = window->visible;
    if (showCommand == SW_HIDE) {
        UserTakeBackLoan(window);
        SDL_HideWindow(window->sdl);
        window->visible = false;
    } else {
        SDL_ShowWindow(window->sdl);
        SDL_RaiseWindow(window->sdl);
        window->visible = true;
        window->shownAt = SDL_GetTicks();
        window->fullScreenAsks = 0;
        UserShowPixels(window, *UserScreen(window));
    }
    return wasVisible;
}

// Sends WM_PAINT when the window is visible; frames come from DirectDraw.
BOOL WINAPI UpdateWindow(HWND window) {
    TRACE(TRACE_USER, "window=%p", (void*)window);
    if (!IsWindow(window)) return FALSE;
    if (window->visible) SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

// Sends WM_DESTROY, then takes the window off the screen. The handle stays
// unique: IsWindow is false from then on.
BOOL WINAPI DestroyWindow(HWND window) {
    TRACE(TRACE_USER, "window=%p", (void*)window);
    if (!IsWindow(window)) return FALSE;
    SendMessageA(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
    window->visible = false;
    UserTakeBackLoan(window);
    window->present.frame = nullptr;
    if (window->sdl) {
        SDL_DestroyWindow(window->sdl);
        window->sdl = nullptr;
    }
    if (!UserMainWindow()) UserCloseCanvasFonts();
    return TRUE;
}

// A device context onto the window's screen, the reference for memory DCs.
HDC WINAPI GetDC(HWND window) {
    TRACE(TRACE_USER, "window=%p", (void*)window);
    const PixelMap* screen = UserScreen(window ? window : UserMainWindow());
    if (!screen) return nullptr;
    return GdiCreatePixelDC(*screen);
}

// Gives back a device context from GetDC.
int WINAPI ReleaseDC(HWND, HDC dc) {
    if (!dc) return 0;
    GdiDeletePixelDC(dc);
    return 1;
}

void UserForEachWindow(void (*visit)(HWND window, void* context),
                       void* context) {
    for (auto& w : windows)
        visit(w.get(), context);
}

void UserResetWindows() {
    for (auto& w : windows) {
        UserTakeBackLoan(w.get());
        if (w->sdl) SDL_DestroyWindow(w->sdl);
    }
    windows.clear();
    classes.clear();
    UserCloseCanvasFonts();
    UserResetPresents();
}
