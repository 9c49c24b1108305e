// A fixture that gives each test a fresh window stand-in, the game's module,
// and the idle passes of the modal loops (menu, dialog, message box) to feed.
#ifndef QEL_TESTS_PLATFORM_FIXTURE_H
#define QEL_TESTS_PLATFORM_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <SDL.h>

#include <functional>
#include <stdexcept>

#include "testing/seams.h"
#include "resource_data.h"
#include "user/resource_private.h"

// The seams as every in-process test starts: message boxes recorded instead
// of shown, each picture shown kept for TestScreenPixel, no pacing.
inline void QuietPlatform() {
    TestRecordMessageBoxes(true);
    TestCaptureScreen(true);
    TestSetPresentPacing(false);
}

inline HINSTANCE GameModule() {
    static HINSTANCE module =
        UserCreateModule(qelResourceData, qelResourceSize);
    return module;
}

// Called with the pass number each time a modal loop finds no input.
inline std::function<void(int pass)> modalFeed;
inline int modalPasses;

// A loop still open after 100 passes ignored what it was fed: the test
// fails, and the loop is left by an exception rather than hang.
inline void FeedModalLoop() {
    if (modalFeed) modalFeed(modalPasses + 1);
    if (++modalPasses == 100)
        throw std::runtime_error("a modal loop is open after 100 idle passes");
}

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestResetUser();
        QuietPlatform();
        TestSetModalIdle(FeedModalLoop);
        modalFeed = nullptr;
        modalPasses = 0;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        TestResetUser();
        QuietPlatform();
    }
    // The game's loop over the messages waiting, 100 at most (a menu or
    // dialog runs its own loop inside): WM_QUIT's code, or -1 once idle.
    static int RunLoop() {
        MSG msg;
        for (int n = 0; n < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
             ++n) {
            if (msg.message == WM_QUIT) return (int)msg.wParam;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return -1;
    }
    // A shown window of the game's module and menu, its procedure `proc`.
    HWND MakeWindow(WNDPROC proc) {
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = proc;
        cls.hInstance = GameModule();
        cls.lpszMenuName = MAKEINTRESOURCEA(109);
        cls.lpszClassName = "QelTest";
        RegisterClassExA(&cls);
        HWND window =
            CreateWindowExA(0, "QelTest", "Qel", WS_POPUP, 0, 0, 1024, 768,
                            nullptr, nullptr, GameModule(), nullptr);
        ShowWindow(window, SW_SHOW);
        return window;
    }
};

#endif
