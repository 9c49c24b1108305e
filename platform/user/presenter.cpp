// The presenter: every picture a window shows goes through here, the
// game's frames from Flip and the menus and dialogs drawn over them
// (presenter.h tells how a frame reaches the screen).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <time.h>

#include "damage.h"
#include "presenter.h"
#include "scale.h"
#include "user_private.h"

bool userPacing = true;
int userPresentCount = 0;
// Tests read back what was shown; a player's process keeps no copy.
bool userCaptureShown = false;
std::vector<uint32_t> userShown;
// Tests and benchmarks watch presented frames here.
void (*userPresentHook)(const uint32_t* pixels, int pitch) = nullptr;
std::vector<SDL_Rect> userSentRects;

const PixelMap* UserScreen(HWND window) {
    HWND__* w = UserFindWindow(window);
    if (!w) return nullptr;
    if (w->present.frame) return w->present.frame;
    if (w->present.black.empty()) {
        w->present.black.assign((size_t)kScreenWidth * kScreenHeight, 0);
        w->present.blackView = {w->present.black.data(), kScreenWidth,
                                kScreenHeight, kScreenWidth};
    }
    return &w->present.blackView;
}

void UserForgetFrame(const uint32_t* pixels) {
    UserForEachWindow(
        [](HWND w, void* context) {
            if (w->present.frame && w->present.frame->pixels == context)
                w->present.frame = nullptr;
        },
        (void*)pixels);
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

// Sets userSentRects to what differs between `now` and `before`, the frame
// shown: from the two frames' drawings where both are known, looking at
// pixels only in the boxes where they differ; else comparing the frames.
static void FindChanges(HWND window, const PixelMap& now,
                        const PixelMap& before, const UserDrawing* drawing) {
    if (drawing && window->present.drawingKnown &&
        UserDrawingDamage(*drawing, window->present.drawing, userSentRects))
        UserTrimDamage(now, before, userSentRects);
    else
        UserFindDamage(now, before, userSentRects);
}

// The drawing of the frame just presented, for the next present.
static void KeepDrawing(HWND window, const UserDrawing* drawing) {
    window->present.drawingKnown = drawing && drawing->whole;
    if (window->present.drawingKnown) window->present.drawing = *drawing;
}

// Draws `pixels` into the window's surface and sends it to the X server:
// only what differs from `before`, the picture the surface shows now, when
// that is known; everything otherwise.
static void Present(HWND window, const PixelMap& pixels, const PixelMap* before,
                    const UserDrawing* drawing) {
    SDL_Surface* target = SDL_GetWindowSurface(window->sdl);
    if (!target) return;
    // A resized window's surface is new, and holds nothing shown yet.
    if (target != window->present.shownSurface ||
        target->w != window->present.shownWidth ||
        target->h != window->present.shownHeight)
        before = nullptr;
    SDL_Rect place =
        UserLetterbox(pixels.width, pixels.height, target->w, target->h);
    if (before) {
        FindChanges(window, pixels, *before, drawing);
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
    window->present.shownSurface = target;
    window->present.shownWidth = target->w;
    window->present.shownHeight = target->h;
}

void UserShowPixels(HWND window, const PixelMap& pixels) {
    if (!IsWindow(window) || !window->sdl || !window->visible) return;
    // Anything else drawn into the window surface would draw over the lent
    // frame (a menu over the game), and a resized window's surface is new.
    UserTakeBackLoan(window);
    Present(window, pixels, nullptr, nullptr);
    window->present.showsFrame = false;
    window->present.drawingKnown = false;
    AfterPresent(window, pixels, false);
}

uint32_t* UserLendScreen(HWND window, int* pitch, UserTakeBackScreen takeBack,
                         void* borrower) {
    HWND__* w = UserFindWindow(window);
    if (!w || w->destroyed || !w->sdl || !w->visible || w->present.borrower)
        return nullptr;
    SDL_Surface* target = SDL_GetWindowSurface(w->sdl);
    // Only a surface the frame fills exactly, pixel for pixel, in the
    // frame's own format: anything else needs the scaling copy.
    if (!target || target->w != kScreenWidth || target->h != kScreenHeight ||
        target->format->format != SDL_PIXELFORMAT_RGB888 ||
        target->pitch != kScreenWidth * 4)
        return nullptr;
    w->present.lentPixels = (uint32_t*)target->pixels;
    w->present.lentPitch = target->pitch / 4;
    // The frame the surface shows now is the one the next present compares
    // with.
    if (w->present.showsFrame && w->present.frame) {
        w->present.lentShown.resize((size_t)kScreenWidth * kScreenHeight);
        UserCopyRects(*w->present.frame,
                      {w->present.lentShown.data(), kScreenWidth, kScreenHeight,
                       kScreenWidth},
                      {{0, 0, kScreenWidth, kScreenHeight}});
        w->present.lentShownValid = true;
    }
    w->present.takeBack = takeBack;
    w->present.borrower = borrower;
    *pitch = w->present.lentPitch;
    return w->present.lentPixels;
}

void UserEndLoan(HWND window, void* borrower) {
    HWND__* w = UserFindWindow(window);
    if (!w || w->present.borrower != borrower) return;
    w->present.borrower = nullptr;
    w->present.takeBack = nullptr;
    w->present.lentPixels = nullptr;
    w->present.lentShownValid = false;
}

void UserTakeBackLoan(HWND window) {
    HWND__* w = UserFindWindow(window);
    if (!w || !w->present.borrower) return;
    uint32_t* lent = w->present.lentPixels;
    uint32_t* moved = w->present.takeBack(w->present.borrower);
    UserEndLoan(window, w->present.borrower);
    w->present.showsFrame = false;
    // The frame shown is where the borrower put it now.
    if (w->present.frame && w->present.frameView.pixels == lent)
        w->present.frameView.pixels = moved;
}

void UserWindowChanged(uint32_t id) {
    UserForEachWindow(
        [](HWND w, void* context) {
            if (w->sdl && SDL_GetWindowID(w->sdl) == *(uint32_t*)context) {
                UserTakeBackLoan(w);
                w->present.showsFrame = false;
            }
        },
        &id);
}

bool UserPresentLent(HWND window, const UserDrawing& drawing) {
    HWND__* w = UserFindWindow(window);
    if (!w || w->destroyed || !w->present.borrower || !w->visible) return false;
    // The game draws each frame over the one sent before: a copy of that
    // is kept to compare with. The surface is the frame's size, so the
    // frame's rectangles are the window's.
    w->present.lentShown.resize((size_t)kScreenWidth * kScreenHeight);
    PixelMap screen = {w->present.lentPixels, kScreenWidth, kScreenHeight,
                       w->present.lentPitch};
    PixelMap shown = {w->present.lentShown.data(), kScreenWidth, kScreenHeight,
                      kScreenWidth};
    if (w->present.lentShownValid)
        FindChanges(w, screen, shown, &drawing);
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
    w->present.lentShownValid = true;
    KeepDrawing(w, &drawing);
    w->present.frameView = screen;
    w->present.frame = &w->present.frameView;
    AfterPresent(window, w->present.frameView, true);
    return true;
}

void UserPresentFrame(HWND window, const PixelMap& frame,
                      const UserDrawing* drawing) {
    HWND__* w = UserFindWindow(window);
    if (!w || w->destroyed) return;
    UserTakeBackLoan(window);
    // The frame shown before is as it was, in the buffer the flip swapped
    // out: only what differs from it is sent.
    PixelMap before = w->present.frameView;
    bool known = w->present.showsFrame && w->present.frame &&
                 before.pixels != frame.pixels;
    w->present.frameView = frame;
    w->present.frame = &w->present.frameView;
    if (!w->sdl || !w->visible) {
        w->present.drawingKnown = false;
        return;
    }
    Present(window, frame, known ? &before : nullptr, drawing);
    KeepDrawing(window, drawing);
    w->present.showsFrame = true;
    AfterPresent(window, frame, true);
}

void UserResetPresents() {
    userPresentCount = 0;
    userShown.clear();
}
