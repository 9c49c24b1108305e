// SDL's events become the thread's input once a PeekMessageA: every event
// waiting is read in one pump, in order, and then taken one message at a
// time, as the game's loop takes them.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "platform_fixture.h"

namespace {

void PushKey(SDL_Keycode key, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

class InputPump : public PlatformTest {
  protected:
    HWND window = nullptr;
    void SetUp() override {
        PlatformTest::SetUp();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "QelPumpTest";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        window = CreateWindowExA(0, "QelPumpTest", "Qel", WS_POPUP, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        PlatformTest::TearDown();
    }
};

TEST_F(InputPump, AllWaitingEventsArriveInOrderOneMessageAPeek) {
    // A burst, as a typist or xdotool makes: 200 keys pressed and released,
    // with events the queue has no message for in between.
    std::string typed;
    for (int i = 0; i < 200; ++i) {
        SDL_Keycode key = SDLK_a + i % 26;
        PushKey(key, true);
        SDL_Event motion = {};
        motion.type = SDL_MOUSEMOTION;
        SDL_PushEvent(&motion);
        PushKey(key, false);
        typed += (char)('A' + i % 26);
    }
    std::string downs;
    int ups = 0, taken = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++taken;
        EXPECT_EQ(msg.hwnd, window);
        if (msg.message == WM_KEYDOWN) downs += (char)msg.wParam;
        if (msg.message == WM_KEYUP) ++ups;
    }
    EXPECT_EQ(downs, typed);
    EXPECT_EQ(ups, 200);
    EXPECT_EQ(taken, 400) << "one message a peek, none lost or doubled";
    // The key state follows the last event of each key: all up again.
    EXPECT_EQ(GetAsyncKeyState('A') & 0x8000, 0);
}

TEST_F(InputPump, AnEventPushedLaterIsTakenByALaterPeek) {
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    PushKey(SDLK_ESCAPE, true);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, (WPARAM)VK_ESCAPE);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
    PushKey(SDLK_ESCAPE, false);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_KEYUP);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
