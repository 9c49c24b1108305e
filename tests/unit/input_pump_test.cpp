// SDL's events as messages, one a PeekMessageA; keys SDL makes up as the
// focus comes and goes post nothing, as on Windows, but are held or not.
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "platform_fixture.h"
#include "sdl_events.h"

// Last: Xlib's macros would rename what the headers above declare.
#include <SDL_syswm.h>

namespace {

class InputPump : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        MakeWindow(DefWindowProcA);
    }
    // The messages taken (100 at most), each as `name` gives it.
    std::string Taken(char (*name)(const MSG&)) {
        std::string taken;
        MSG msg;
        while (taken.size() < 100 &&
               PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            taken += name(msg);
        return taken;
    }
};

struct KeyCase {
    const char* name;
    SDL_Keycode key;
    Uint16 mod;
    UINT message; // of the key going down; its release is the next one
    int virtualKey;
};

class Keys : public InputPump, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, ArriveAsTheirVirtualKeyDownUntilReleased) {
    const KeyCase& c = GetParam();
    MSG m;
    for (int i = 0; i < 3; ++i) { // down, auto-repeated, up
        PushKey(c.key, i < 2, c.mod, 0, i == 1);
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(m.message, c.message + (i == 2)); // WM_KEYUP ...
        EXPECT_EQ(m.wParam, (WPARAM)c.virtualKey);
        EXPECT_EQ(GetAsyncKeyState(c.virtualKey) & 0x8000, i < 2 ? 0x8000 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , Keys,
    ::testing::Values(
        KeyCase{"ShiftedGIsG", SDLK_g, KMOD_LSHIFT, WM_KEYDOWN, 'G'},
        KeyCase{"CapsLockZIsZ", SDLK_z, KMOD_CAPS, WM_KEYDOWN, 'Z'},
        KeyCase{"KeypadPlusIsAdd", SDLK_KP_PLUS, 0, WM_KEYDOWN, VK_ADD},
        KeyCase{"KeypadMinusIsSubtract", SDLK_KP_MINUS, 0, WM_KEYDOWN,
                VK_SUBTRACT},
        KeyCase{"MainPlusIsOemPlus", SDLK_EQUALS, 0, WM_KEYDOWN, VK_OEM_PLUS},
        KeyCase{"MainMinusIsOemMinus", SDLK_MINUS, 0, WM_KEYDOWN, VK_OEM_MINUS},
        KeyCase{"EscapeIsEscape", SDLK_ESCAPE, 0, WM_KEYDOWN, VK_ESCAPE},
        KeyCase{"AltFIsSystemKeyF", SDLK_f, KMOD_LALT, WM_SYSKEYDOWN, 'F'}),
    CaseName());

TEST_F(InputPump, OneMessageAPeekPostedFirstThenQuitThenInputInOrder) {
    PushEvent(SDL_Event{SDL_MOUSEMOTION}); // no message
    PushKeys("qelqel");
    PostQuitMessage(3);
    PostMessageA(nullptr, WM_USER, 0, 0);
    EXPECT_EQ(Taken([](const MSG& m) {
                  return m.message == WM_USER      ? 'P'
                         : m.message == WM_QUIT    ? (char)('0' + m.wParam)
                         : m.message == WM_KEYDOWN ? (char)m.wParam
                                                   : '-';
              }),
              "P3Q-E-L-Q-E-L-");
}

// a/A Alt down/up, t/T Tab down/up with Alt, L/G focus lost/gained, m mouse
// motion, K X's KeymapNotify, X another X event (one comes before each).
void Push(char step) {
    static SDL_SysWMmsg x11[2];
    SDL_SysWMmsg& msg = x11[step == 'K'];
    SDL_Event event = {SDL_SYSWMEVENT};
    if (step == 'a' || step == 'A') return PushKey(SDLK_LALT, step == 'a');
    if (step == 't' || step == 'T')
        return PushKey(SDLK_TAB, step == 't', KMOD_LALT);
    if (step == 'L') return PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    if (step == 'G') return PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    if (step == 'm') return PushEvent(SDL_Event{SDL_MOUSEMOTION});
    SDL_VERSION(&msg.version);
    msg.subsystem = SDL_SYSWM_X11;
    msg.msg.x11.event.type = step == 'K' ? KeymapNotify : KeyPress;
    event.syswm.msg = &msg;
    PushEvent(event);
}

struct FocusCase {
    const char* name;
    const char* steps;
    const char* posted;
};

class Focus : public InputPump,
              public ::testing::WithParamInterface<FocusCase> {};

// Steps, and those posted; Alt stays down only after a last press.
TEST_P(Focus, MadeUpKeysPostNothingAndNoKeySticks) {
    std::string steps = GetParam().steps;
    for (char step : steps)
        Push(step);
    EXPECT_EQ(Taken([](const MSG& m) {
                  bool up = m.message == WM_SYSKEYUP;
                  if (!up && m.message != WM_SYSKEYDOWN) return '?';
                  return m.wParam == VK_MENU ? "aA"[up] : "tT"[up];
              }),
              GetParam().posted);
    EXPECT_EQ(GetAsyncKeyState(VK_MENU) != 0,
              steps.find_last_of("aA") == steps.rfind('a'));
    EXPECT_EQ(GetAsyncKeyState(VK_TAB), 0);
}

INSTANTIATE_TEST_SUITE_P(
    , Focus,
    ::testing::Values(
        // Alt alone: its release opens the menu.
        FocusCase{"AltAloneIsPressedAndReleased", "aA", "aA"},
        FocusCase{"AltReleasedAsTheFocusLeavesPostsNoRelease", "aAL", "a"},
        FocusCase{"AltTabLetGoInTheSwitcherPostsNoRelease", "XaKAmL", "a"},
        FocusCase{"AltMadeUpUntilTheNextXEventPostsOnlyTheRelease", "KaXA",
                  "A"},
        FocusCase{"AltReleasedBeforeTheFocusLeftIsPostedWhole", "aAmL", "aA"},
        FocusCase{"BackWithAltHeldIsDownWithNoMessage", "Ka", ""},
        FocusCase{"OffXNoKeyIsMadeUp", "GaA", "aA"}),
    CaseName());

} // namespace
