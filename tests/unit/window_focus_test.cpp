// The keyboard when the focus comes and goes. SDL makes up key events to
// match the keys held: releases as the focus leaves, and on X after it tells
// which keys are down (KeymapNotify). Windows posts nothing for those (the
// Alt of Alt+Tab goes to the switcher), while GetAsyncKeyState follows the
// keys; a made-up Alt release would open the menu bar.
#include <gtest/gtest.h>

#include <SDL.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform_fixture.h"

// Last: Xlib's macros would rename what the headers above declare.
#include <SDL_syswm.h>

namespace {

enum Step {
    AltDown,
    AltUp,
    TabDown,
    TabUp,
    FocusLost,
    FocusGained,
    Motion,
    KeymapSync,
    XKeyEvent
};

void Push(Step step) {
    SDL_Event event = {};
    SDL_SysWMmsg msg = {};
    switch (step) {
    case AltDown:
    case AltUp:
    case TabDown:
    case TabUp: {
        bool down = step == AltDown || step == TabDown;
        SDL_Keycode key =
            (step == AltDown || step == AltUp) ? SDLK_LALT : SDLK_TAB;
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        // Tab comes only with Alt held here.
        if (key == SDLK_TAB) event.key.keysym.mod = KMOD_LALT;
        break;
    }
    case FocusLost:
    case FocusGained:
        event.type = SDL_WINDOWEVENT;
        event.window.event = step == FocusLost ? SDL_WINDOWEVENT_FOCUS_LOST
                                               : SDL_WINDOWEVENT_FOCUS_GAINED;
        break;
    case Motion:
        event.type = SDL_MOUSEMOTION;
        break;
    case KeymapSync:
    case XKeyEvent:
        // What SDL's X driver sends ahead of each X event it handles.
        SDL_VERSION(&msg.version);
        msg.subsystem = SDL_SYSWM_X11;
        msg.msg.x11.event.type = step == KeymapSync ? KeymapNotify : KeyPress;
        event.type = SDL_SYSWMEVENT;
        event.syswm.msg = &msg;
        break;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

class WindowFocus : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "QelFocusTest";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        window = CreateWindowExA(0, "QelFocusTest", "Qel", WS_POPUP, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        PlatformTest::TearDown();
    }
    // The key messages the steps give, as "down:VK" / "up:VK" (SYS for
    // system keys).
    std::vector<std::string> Messages(const std::vector<Step>& steps) {
        for (Step step : steps)
            Push(step);
        std::vector<std::string> seen;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            std::string name;
            switch (msg.message) {
            case WM_KEYDOWN:
                name = "down:";
                break;
            case WM_KEYUP:
                name = "up:";
                break;
            case WM_SYSKEYDOWN:
                name = "sysdown:";
                break;
            case WM_SYSKEYUP:
                name = "sysup:";
                break;
            default:
                continue;
            }
            seen.push_back(name + std::to_string((int)msg.wParam));
        }
        return seen;
    }
    HWND window = nullptr;
};

const std::string kAltDown = "sysdown:" + std::to_string(VK_MENU);
const std::string kAltUp = "sysup:" + std::to_string(VK_MENU);
const std::string kTabDown = "sysdown:" + std::to_string(VK_TAB);

struct FocusCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> messages;
};

void PrintTo(const FocusCase& c, std::ostream* os) {
    *os << c.name;
}

class FocusSequences : public WindowFocus,
                       public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusSequences, GiveTheMessagesWindowsGives) {
    const FocusCase& c = GetParam();
    EXPECT_EQ(Messages(c.steps), c.messages);
    // Whatever was posted, the key state follows the keys: all up.
    EXPECT_EQ(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
    EXPECT_EQ(GetAsyncKeyState(VK_TAB) & 0x8000, 0);
}

INSTANTIATE_TEST_SUITE_P(
    , FocusSequences,
    ::testing::Values(
        // Alt alone, pressed and released while the window has the keyboard:
        // its release opens the menu bar.
        FocusCase{"AltAlone", {AltDown, AltUp}, {kAltDown, kAltUp}},
        // Focus moved away (a click elsewhere) with Alt held: SDL releases
        // Alt just before it says so. The release is not ours.
        FocusCase{"ReleasedAsTheFocusLeaves",
                  {AltDown, AltUp, FocusLost},
                  {kAltDown}},
        // Alt+Tab: the switcher took Tab; X then reports Alt up and SDL makes
        // up its release, well before the focus goes.
        FocusCase{"AltOfAltTabReleasedInTheSwitcher",
                  {XKeyEvent, AltDown, KeymapSync, AltUp, Motion, FocusLost},
                  {kAltDown}},
        // The made-up keys end at the next X event: a real key is posted.
        FocusCase{"RealKeyAfterTheReport",
                  {KeymapSync, AltDown, XKeyEvent, AltUp},
                  {kAltUp}},
        // Other events between a real release and the focus loss: SDL's
        // releases come right before it, so this one is real.
        FocusCase{"ReleaseLongBeforeTheFocusLeaves",
                  {AltDown, AltUp, Motion, FocusLost},
                  {kAltDown, kAltUp}},
        // Tab pressed with Alt, then Alt let go: both arrive.
        FocusCase{
            "AltTabWithinTheWindow",
            {AltDown, TabDown, TabUp, AltUp},
            {kAltDown, kTabDown, "sysup:" + std::to_string(VK_TAB), kAltUp}}),
    [](const ::testing::TestParamInfo<FocusCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(WindowFocus, KeysHeldAsTheReportComesAreDownWithNoMessage) {
    // The window got the keyboard with Alt held (Alt+Tab back to it).
    EXPECT_TRUE(Messages({KeymapSync, AltDown}).empty());
    EXPECT_NE(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
}

TEST_F(WindowFocus, OffXKeysAfterTheFocusComesAreThePlayers) {
    // Only SDL's X driver reports the X events that end the made-up keys:
    // elsewhere nothing after the focus may be taken for one.
    EXPECT_EQ(Messages({FocusGained, AltDown, AltUp}),
              (std::vector<std::string>{kAltDown, kAltUp}));
}

} // namespace
