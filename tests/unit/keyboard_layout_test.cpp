// Letter keys on every layout, as Windows gives them: a Latin layout's
// letters by their own letter, a non-Latin layout's keys by their place on
// a US keyboard; and no input method between the keys and the window.
#include <gtest/gtest.h>

#include <string>

#include "platform_fixture.h"
#include "sdl_events.h"
#include "user/user_private.h"

namespace {

// A layout by what its letter places, US A to Z, type.
struct Layout {
    const char* name;
    std::u32string letters;
};

const Layout kUs = {"us", U"abcdefghijklmnopqrstuvwxyz"};
const Layout kAzerty = {"fr", U"qbcdefghijkl,noparstuvzxyw"};
const Layout kDvorak = {"dvorak", U"axje.uidchtnmbrl'poygk,qf;"};
const Layout kRussian = {"ru", U"фисвуапршолдьтщзйкыегмцчня"};
const Layout kGreek = {"gr", U"αβψδεφγηιξκλμνοπ;ρστθωςχυζ"};
const Layout kHebrew = {"il", U"שנבגקכעיןחלךצמםפ/רדאוה'סטז"};
const Layout kArabic = {"ara", U"ش\uFEFBؤيثبلاهتنمةىخحضقسفعرصءغئ"};
const Layout kTurkish = {"tr", U"abcdefgh\u0131jklmnopqrstuvwxyz"};

const Layout* current = &kUs;

SDL_Keycode KeyAt(SDL_Scancode place) {
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z)
        return (SDL_Keycode)current->letters[place - SDL_SCANCODE_A];
    return SDLK_UNKNOWN;
}

struct KeyCase {
    const char* name;
    const Layout* layout;
    SDL_Scancode place;
    SDL_Keycode key; // 0: what the layout types at the letter place
    int virtualKey;
};

// Named in test listings by the case's name.
void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.name;
}

class LayoutKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(LayoutKeys, ArriveAsWindowsVirtualKey) {
    const KeyCase& c = GetParam();
    current = c.layout;
    SDL_Keycode key = c.key ? c.key : KeyAt(c.place);
    EXPECT_EQ(UserVirtualKeyFromSdl(key, c.place, KeyAt), c.virtualKey)
        << c.layout->name << " key U+" << std::hex << key;
}

INSTANTIATE_TEST_SUITE_P(
    , LayoutKeys,
    ::testing::Values(
        KeyCase{"UsQIsQ", &kUs, SDL_SCANCODE_Q, 0, 'Q'},
        KeyCase{"AzertyAKeyIsA", &kAzerty, SDL_SCANCODE_Q, 0, 'A'},
        KeyCase{"AzertyQKeyIsQ", &kAzerty, SDL_SCANCODE_A, 0, 'Q'},
        KeyCase{"AzertyMBesideLIsM", &kAzerty, SDL_SCANCODE_SEMICOLON, SDLK_m,
                'M'},
        KeyCase{"AzertyCommaOnUsMIsOemComma", &kAzerty, SDL_SCANCODE_M, 0,
                VK_OEM_COMMA},
        KeyCase{"AzertyEAcuteOnUs2Is2", &kAzerty, SDL_SCANCODE_2, 0xE9, '2'},
        KeyCase{"DvorakOOnUsSIsO", &kDvorak, SDL_SCANCODE_S, 0, 'O'},
        KeyCase{"DvorakPeriodOnUsEIsOemPeriod", &kDvorak, SDL_SCANCODE_E, 0,
                VK_OEM_PERIOD},
        KeyCase{"TurkishDotlessIIsI", &kTurkish, SDL_SCANCODE_I, 0, 'I'},
        KeyCase{"RussianShortIIsQ", &kRussian, SDL_SCANCODE_Q, 0, 'Q'},
        KeyCase{"RussianEfIsA", &kRussian, SDL_SCANCODE_A, 0, 'A'},
        KeyCase{"RussianYaIsZ", &kRussian, SDL_SCANCODE_Z, 0, 'Z'},
        KeyCase{"RussianZheIsOem1", &kRussian, SDL_SCANCODE_SEMICOLON, 0x436,
                VK_OEM_1},
        KeyCase{"RussianBeIsOemComma", &kRussian, SDL_SCANCODE_COMMA, 0x431,
                VK_OEM_COMMA},
        KeyCase{"RussianPeriodOnUsSlashIsOem2", &kRussian, SDL_SCANCODE_SLASH,
                SDLK_PERIOD, VK_OEM_2},
        KeyCase{"Russian1Is1", &kRussian, SDL_SCANCODE_1, SDLK_1, '1'},
        KeyCase{"RussianSpaceIsSpace", &kRussian, SDL_SCANCODE_SPACE,
                SDLK_SPACE, VK_SPACE},
        KeyCase{"RussianKeypadPlusIsAdd", &kRussian, SDL_SCANCODE_KP_PLUS,
                SDLK_KP_PLUS, VK_ADD},
        KeyCase{"RussianMinusIsOemMinus", &kRussian, SDL_SCANCODE_MINUS,
                SDLK_MINUS, VK_OEM_MINUS},
        KeyCase{"GreekFinalSigmaIsW", &kGreek, SDL_SCANCODE_W, 0, 'W'},
        KeyCase{"GreekAlphaIsA", &kGreek, SDL_SCANCODE_A, 0, 'A'},
        KeyCase{"GreekSemicolonOnUsQIsQ", &kGreek, SDL_SCANCODE_Q, 0, 'Q'},
        KeyCase{"HebrewShinIsA", &kHebrew, SDL_SCANCODE_A, 0, 'A'},
        KeyCase{"HebrewSlashOnUsQIsQ", &kHebrew, SDL_SCANCODE_Q, 0, 'Q'},
        KeyCase{"HebrewApostropheOnUsWIsW", &kHebrew, SDL_SCANCODE_W, 0, 'W'},
        KeyCase{"HebrewPageDownIsNext", &kHebrew, SDL_SCANCODE_PAGEDOWN,
                SDLK_PAGEDOWN, VK_NEXT},
        KeyCase{"ArabicAlefIsH", &kArabic, SDL_SCANCODE_H, 0, 'H'},
        KeyCase{"UnnamedKeyOnUsKIsK", &kUs, SDL_SCANCODE_K, SDLK_UNKNOWN, 'K'},
        KeyCase{"CyrillicOffTheUsPlacesIsNothing", &kRussian,
                SDL_SCANCODE_NONUSBACKSLASH, 0x451, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& info) {
        return std::string(info.param.name);
    });

class KeysThroughThePump : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        MakeWindow(DefWindowProcA);
    }
    // Pushes the key at `place` typing `key`, and takes its message.
    MSG Press(SDL_Keycode key, SDL_Scancode place, bool down) {
        SDL_Event e = {down ? SDL_KEYDOWN : SDL_KEYUP};
        e.key.keysym = {place, key, KMOD_NONE, 0};
        PushEvent(e);
        MSG m = {};
        EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        return m;
    }
};

// The layout of each key as it comes: й on the US Q key (a Russian layout),
// then a on it (French), then q (US again).
TEST_F(KeysThroughThePump, EachKeyByTheLayoutItCameWith) {
    const struct {
        SDL_Keycode key;
        int virtualKey;
    } keys[] = {{0x439, 'Q'}, {SDLK_a, 'A'}, {SDLK_q, 'Q'}};
    for (const auto& k : keys) {
        MSG down = Press(k.key, SDL_SCANCODE_Q, true);
        EXPECT_EQ(down.message, (UINT)WM_KEYDOWN);
        EXPECT_EQ(down.wParam, (WPARAM)k.virtualKey);
        EXPECT_EQ(GetAsyncKeyState(k.virtualKey) & 0x8000, 0x8000);
        MSG up = Press(k.key, SDL_SCANCODE_Q, false);
        EXPECT_EQ(up.message, (UINT)WM_KEYUP);
        EXPECT_EQ(up.wParam, (WPARAM)k.virtualKey);
        EXPECT_EQ(GetAsyncKeyState(k.virtualKey), 0) << "the key stuck";
    }
}

// SDL starts text input, which hands keys to an input method first; every
// window the stand-in makes stops it.
class NoTextInput : public PlatformTest {};

TEST_F(NoTextInput, AfterTheWindowIsMade) {
    SDL_StartTextInput();
    MakeWindow(DefWindowProcA);
    EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(NoTextInput, AfterAMessageBoxIsMade) {
    TestShowMessageBoxes();
    HWND owner = MakeWindow(DefWindowProcA);
    SDL_StartTextInput();
    bool active = true;
    modalFeed = [&](int) {
        active = SDL_IsTextInputActive();
        PushKeys("E", TestMessageBoxShown().window);
    };
    MessageBoxA(owner, "Text", "Error", MB_OK);
    EXPECT_FALSE(active);
}

} // namespace
