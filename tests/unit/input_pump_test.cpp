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

// Each test makes the window that has the keyboard first.
using InputPump = PlatformTest;

// The messages taken (100 at most): P the one posted, a digit the quit's
// code, a key down its virtual key, a/A Alt down/up as system keys, - others.
std::string Taken() {
    std::string taken;
    MSG m;
    while (taken.size() < 100 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        taken += m.message == WM_USER      ? 'P'
                 : m.message == WM_QUIT    ? (char)('0' + m.wParam)
                 : m.message == WM_KEYDOWN ? (char)m.wParam
                 : m.message == WM_SYSKEYDOWN && m.wParam == VK_MENU ? 'a'
                 : m.message == WM_SYSKEYUP && m.wParam == VK_MENU   ? 'A'
                                                                     : '-';
    }
    return taken;
}

// In turn; the last three on the US Q key as three layouts type it, й
// (Russian), a (French), then q (US again): each by the layout it came with.
struct KeyCase {
    const char* name;
    SDL_Keycode key;
    Uint16 mod;
    UINT message; // of the key going down; its release is the next one
    int virtualKey;
    SDL_Scancode place = SDL_SCANCODE_UNKNOWN; // the key's own
} const kKeyCases[] = {
    {"ShiftedGIsG", SDLK_g, KMOD_LSHIFT, WM_KEYDOWN, 'G'},
    {"KeypadPlusIsAdd", SDLK_KP_PLUS, 0, WM_KEYDOWN, VK_ADD},
    {"KeypadMinusIsSubtract", SDLK_KP_MINUS, 0, WM_KEYDOWN, VK_SUBTRACT},
    {"MainPlusIsOemPlus", SDLK_EQUALS, 0, WM_KEYDOWN, VK_OEM_PLUS},
    {"MainMinusIsOemMinus", SDLK_MINUS, 0, WM_KEYDOWN, VK_OEM_MINUS},
    {"AltFIsSystemKeyF", SDLK_f, KMOD_LALT, WM_SYSKEYDOWN, 'F'},
    {"RussianShortIIsQ", 0x439, 0, WM_KEYDOWN, 'Q', SDL_SCANCODE_Q},
    {"FrenchAOnUsQIsA", SDLK_a, 0, WM_KEYDOWN, 'A', SDL_SCANCODE_Q},
    {"UsQAgainIsQ", SDLK_q, 0, WM_KEYDOWN, 'Q', SDL_SCANCODE_Q},
};

using Keys = InputPump;

TEST_F(Keys, ArriveAsTheirVirtualKeyDownUntilReleased) {
    MakeWindow(DefWindowProcA);
    MSG m;
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 3; ++i) { // down, auto-repeated, up
            PushKey(c.key, i < 2, c.mod, 0, i == 1, c.place);
            ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
            EXPECT_EQ(m.message, c.message + (i == 2)); // WM_KEYUP ...
            EXPECT_EQ(m.wParam, (WPARAM)c.virtualKey);
            EXPECT_EQ(GetAsyncKeyState(c.virtualKey) & 0x8000,
                      i < 2 ? 0x8000 : 0);
        }
    }
}

TEST_F(InputPump, OneMessageAPeekPostedFirstThenQuitThenInputInOrder) {
    MakeWindow(DefWindowProcA);
    PushEvent(SDL_Event{SDL_MOUSEMOTION}); // no message
    PushKeys("qelqel");
    PostQuitMessage(3);
    PostMessageA(nullptr, WM_USER, 0, 0);
    EXPECT_EQ(Taken(), "P3Q-E-L-Q-E-L-");
}

// a/A Alt down/up, L/G focus lost/gained, m mouse motion, K X's
// KeymapNotify, X another X event (one comes before each).
void Push(char step) {
    static SDL_SysWMmsg x11[2]; // read when taken
    SDL_SysWMmsg& msg = x11[step == 'K'];
    if (step == 'a' || step == 'A') return PushKey(SDLK_LALT, step == 'a');
    if (step == 'L') return PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    if (step == 'G') return PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    if (step == 'm') return PushEvent(SDL_Event{SDL_MOUSEMOTION});
    SDL_VERSION(&msg.version);
    msg.subsystem = SDL_SYSWM_X11;
    msg.msg.x11.event.type = step == 'K' ? KeymapNotify : KeyPress;
    SDL_Event event = {SDL_SYSWMEVENT};
    event.syswm.msg = &msg, PushEvent(event);
}

// Steps, and the keys posted: Alt stays down only after a last press.
struct FocusCase {
    const char* name;
    const char* steps;
    const char* posted;
} const kFocusCases[] = {
    {"AltReleasedAsTheFocusLeavesPostsNoRelease", "aAL", "a"},
    {"AltTabLetGoInTheSwitcherPostsNoRelease", "XaKAmL", "a"},
    {"AltMadeUpUntilTheNextXEventPostsOnlyTheRelease", "KaXA", "A"},
    {"AltReleasedBeforeTheFocusLeftIsPostedWhole", "aAmL", "aA"},
    {"BackWithAltHeldIsDownWithNoMessage", "Ka", ""},
    {"OffXNoKeyIsMadeUp", "GaA", "aA"}, // Alt's release opens the menu
};

class Focus : public InputPump,
              public ::testing::WithParamInterface<FocusCase> {};

TEST_P(Focus, MadeUpKeysPostNothingAndNoKeySticks) {
    std::string steps = GetParam().steps;
    MakeWindow(DefWindowProcA);
    for (char step : steps)
        Push(step);
    EXPECT_EQ(Taken(), GetParam().posted);
    EXPECT_EQ(GetAsyncKeyState(VK_MENU) != 0,
              steps.find_last_of("aA") == steps.rfind('a'));
}

INSTANTIATE_TEST_SUITE_P(, Focus, ::testing::ValuesIn(kFocusCases), CaseName());

} // namespace
