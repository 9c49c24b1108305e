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
#include <time.h>

#include "../kernel/codepage.h"
#include "damage.h"
#include "paint.h"
#include "resource_private.h"
#include "scale.h"
#include "user_private.h"
#include "../trace/trace.h"

bool userPacing = true;
int userPresentCount = 0;
// Tests read back what was shown; a player's process keeps no copy.
bool userCaptureShown = false;
std::vector<uint32_t> userShown;
// Tests and benchmarks watch presented frames here.
void (*userPresentHook)(const uint32_t* pixels, int pitch) = nullptr;
std::vector<SDL_Rect> userSentRects;

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

static HWND__* Find(HWND window) {
    for (auto& w : windows)
        if (w.get() == window) return w.get();
    return nullptr;
}

BOOL WINAPI IsWindow(HWND window) {
    HWND__* w = Find(window);
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
    window->frame = nullptr;
    if (window->sdl) {
        SDL_DestroyWindow(window->sdl);
        window->sdl = nullptr;
    }
    if (!UserMainWindow()) UserCloseCanvasFonts();
    return TRUE;
}

const PixelMap* UserScreen(HWND window) {
    HWND__* w = Find(window);
    if (!w) return nullptr;
    if (w->frame) return w->frame;
    if (w->black.empty()) {
        w->black.assign((size_t)kScreenWidth * kScreenHeight, 0);
        w->blackView = {w->black.data(), kScreenWidth, kScreenHeight,
                        kScreenWidth};
    }
    return &w->blackView;
}

void UserForgetFrame(const uint32_t* pixels) {
    for (auto& w : windows)
        if (w->frame && w->frame->pixels == pixels) w->frame = nullptr;
}

void UserCopyScreen(HWND window, std::vector<uint32_t>& out) {
    const PixelMap* screen = UserScreen(window);
    out.assign((size_t)kScreenWidth * kScreenHeight, 0);
    if (!screen) return;
    for (int y = 0; y < kScreenHeight && y < screen->height; ++y)
        std::memcpy(&out[(size_t)y * kScreenWidth],
                    screen->pixels + (size_t)y * screen->pitch,
                    sizeof(uint32_t) *
                        (size_t)std::min((int)kScreenWidth, screen->width));
}

uint64_t UserPaceWait(uint64_t* next, uint64_t now, int hz) {
    uint64_t period = 1000000000ull / (uint64_t)(hz > 0 ? hz : 60);
    if (*next > now && *next - now <= period) {
        uint64_t wait = *next - now;
        *next += period;
        return wait;
    }
    // The first present, or one late by more than a refresh, starts anew.
    *next = now + period;
    return 0;
}

// Waits for the next refresh when presenting itself does not (Xvfb has no
// vertical blank, and SDL's software path never waits).
static void PaceToRefresh(SDL_Window* sdl) {
    static uint64_t next;
    SDL_DisplayMode mode;
    int hz = 0;
    if (SDL_GetWindowDisplayMode(sdl, &mode) == 0) hz = mode.refresh_rate;
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t wait = UserPaceWait(
        &next, (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec, hz);
    if (wait) {
        struct timespec sleep = {(time_t)(wait / 1000000000ull),
                                 (long)(wait % 1000000000ull)};
        nanosleep(&sleep, nullptr);
    }
}

// What every present does once the pixels are on their way to the screen:
// the tests' copy and hook, and the wait for the next refresh.
static void AfterPresent(HWND window, const PixelMap& pixels, bool frame) {
    ++userPresentCount;
    if (userCaptureShown) {
        userShown.resize((size_t)kScreenWidth * kScreenHeight);
        for (int y = 0; y < kScreenHeight && y < pixels.height; ++y)
            std::memcpy(&userShown[(size_t)y * kScreenWidth],
                        pixels.pixels + (size_t)y * pixels.pitch,
                        sizeof(uint32_t) *
                            (size_t)std::min((int)kScreenWidth, pixels.width));
    }
    if (frame && userPresentHook && pixels.width == kScreenWidth &&
        pixels.height == kScreenHeight)
        userPresentHook(pixels.pixels, pixels.pitch);
    if (userPacing) PaceToRefresh(window->sdl);
}

// Draws `pixels` into the window's surface and sends it to the X server:
// only what differs from `before`, the picture the surface shows now, when
// that is known; everything otherwise.
static void Present(HWND window, const PixelMap& pixels,
                    const PixelMap* before) {
    SDL_Surface* target = SDL_GetWindowSurface(window->sdl);
    if (!target) return;
    // A resized window's surface is new, and holds nothing shown yet.
    if (target != window->shownSurface || target->w != window->shownWidth ||
        target->h != window->shownHeight)
        before = nullptr;
    SDL_Rect place =
        UserLetterbox(pixels.width, pixels.height, target->w, target->h);
    if (before) {
        UserFindDamage(pixels, *before, userSentRects);
    } else {
        userSentRects.assign(1, {0, 0, pixels.width, pixels.height});
        if (place.w != target->w || place.h != target->h)
            SDL_FillRect(target, nullptr, 0);
    }
    UserDrawScaled(pixels, target, place, userSentRects);
    if (before) {
        SDL_UpdateWindowSurfaceRects(window->sdl, userSentRects.data(),
                                     (int)userSentRects.size());
    } else {
        userSentRects.assign(1, {0, 0, target->w, target->h});
        SDL_UpdateWindowSurface(window->sdl);
    }
    window->shownSurface = target;
    window->shownWidth = target->w;
    window->shownHeight = target->h;
}

void UserShowPixels(HWND window, const PixelMap& pixels) {
    if (!IsWindow(window) || !window->sdl || !window->visible) return;
    // Anything else drawn into the window surface would draw over the lent
    // frame (a menu over the game), and a resized window's surface is new.
    UserTakeBackLoan(window);
    Present(window, pixels, nullptr);
    window->showsFrame = false;
    AfterPresent(window, pixels, false);
}

uint32_t* UserLendScreen(HWND window, int* pitch, UserTakeBackScreen takeBack,
                         void* borrower) {
    HWND__* w = Find(window);
    if (!w || w->destroyed || !w->sdl || !w->visible || w->borrower)
        return nullptr;
    SDL_Surface* target = SDL_GetWindowSurface(w->sdl);
    // Only a surface the frame fills exactly, pixel for pixel, in the
    // frame's own format: anything else needs the scaling copy.
    if (!target || target->w != kScreenWidth || target->h != kScreenHeight ||
        target->format->format != SDL_PIXELFORMAT_RGB888 ||
        target->pitch != kScreenWidth * 4)
        return nullptr;
    w->lentPixels = (uint32_t*)target->pixels;
    w->lentPitch = target->pitch / 4;
    // The frame the surface shows now is the one the next present compares
    // with.
    if (w->showsFrame && w->frame) {
        w->lentShown.resize((size_t)kScreenWidth * kScreenHeight);
        UserCopyRects(
            *w->frame,
            {w->lentShown.data(), kScreenWidth, kScreenHeight, kScreenWidth},
            {{0, 0, kScreenWidth, kScreenHeight}});
        w->lentShownValid = true;
    }
    w->takeBack = takeBack;
    w->borrower = borrower;
    *pitch = w->lentPitch;
    return w->lentPixels;
}

void UserEndLoan(HWND window, void* borrower) {
    HWND__* w = Find(window);
    if (!w || w->borrower != borrower) return;
    w->borrower = nullptr;
    w->takeBack = nullptr;
    w->lentPixels = nullptr;
    w->lentShownValid = false;
}

void UserTakeBackLoan(HWND window) {
    HWND__* w = Find(window);
    if (!w || !w->borrower) return;
    uint32_t* lent = w->lentPixels;
    uint32_t* moved = w->takeBack(w->borrower);
    UserEndLoan(window, w->borrower);
    w->showsFrame = false;
    // The frame shown is where the borrower put it now.
    if (w->frame && w->frameView.pixels == lent) w->frameView.pixels = moved;
}

void UserWindowChanged(uint32_t id) {
    for (auto& w : windows)
        if (w->sdl && SDL_GetWindowID(w->sdl) == id) {
            UserTakeBackLoan(w.get());
            w->showsFrame = false;
        }
}

bool UserPresentLent(HWND window) {
    HWND__* w = Find(window);
    if (!w || w->destroyed || !w->borrower || !w->visible) return false;
    // The game draws each frame over the one sent before: a copy of that
    // is kept to compare with. The surface is the frame's size, so the
    // frame's rectangles are the window's.
    w->lentShown.resize((size_t)kScreenWidth * kScreenHeight);
    PixelMap screen = {w->lentPixels, kScreenWidth, kScreenHeight,
                       w->lentPitch};
    PixelMap shown = {w->lentShown.data(), kScreenWidth, kScreenHeight,
                      kScreenWidth};
    if (w->lentShownValid)
        UserFindDamage(screen, shown, userSentRects);
    else
        userSentRects.assign(1, {0, 0, kScreenWidth, kScreenHeight});
    UserCopyRects(screen, shown, userSentRects);
    int result = SDL_UpdateWindowSurfaceRects(w->sdl, userSentRects.data(),
                                              (int)userSentRects.size());
    // Fails, leaving the surface alone, when the window was resized.
    if (result != 0) {
        UserTakeBackLoan(window);
        return false;
    }
    w->lentShownValid = true;
    w->frameView = screen;
    w->frame = &w->frameView;
    AfterPresent(window, w->frameView, true);
    return true;
}

void UserPresentFrame(HWND window, const PixelMap& frame) {
    HWND__* w = Find(window);
    if (!w || w->destroyed) return;
    UserTakeBackLoan(window);
    // The frame shown before is as it was, in the buffer the flip swapped
    // out: only what differs from it is sent.
    PixelMap before = w->frameView;
    bool known = w->showsFrame && w->frame && before.pixels != frame.pixels;
    w->frameView = frame;
    w->frame = &w->frameView;
    if (!w->sdl || !w->visible) return;
    Present(window, frame, known ? &before : nullptr);
    w->showsFrame = true;
    AfterPresent(window, frame, true);
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

void UserResetWindows() {
    for (auto& w : windows) {
        UserTakeBackLoan(w.get());
        if (w->sdl) SDL_DestroyWindow(w->sdl);
    }
    windows.clear();
    classes.clear();
    UserCloseCanvasFonts();
    userPresentCount = 0;
    userShown.clear();
}
