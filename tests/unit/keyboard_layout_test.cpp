// Letter keys on every layout, as Windows gives them: a Latin layout's
// letters by their own letter, a non-Latin layout's keys by their place on
// a US keyboard. (Through the pump, each key by the layout it came with:
// input_pump_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "user/user_private.h"

namespace {

// What a layout's letter keys type, at the US places A to Z.
const std::u32string kUs = U"abcdefghijklmnopqrstuvwxyz",
                     kAzerty = U"qbcdefghijkl,noparstuvzxyw",
                     kDvorak = U"axje.uidchtnmbrl'poygk,qf;",
                     kRussian = U"фисвуапршолдьтщзйкыегмцчня",
                     kGreek = U"αβψδεφγηιξκλμνοπ;ρστθωςχυζ",
                     kHebrew = U"שנבגקכעיןחלךצמםפ/רדאוה'סטז",
                     kArabic = U"ش\uFEFBؤيثبلاهتنمةىخحضقسفعرصءغئ";
const std::u32string* current = &kUs;

SDL_Keycode KeyAt(SDL_Scancode place) {
    if (place < SDL_SCANCODE_A || place > SDL_SCANCODE_Z) return SDLK_UNKNOWN;
    return (SDL_Keycode)(*current)[place - SDL_SCANCODE_A];
}

// One rule of the mapping a case, on one layout family.
struct KeyCase {
    const char* name;
    const std::u32string* layout;
    SDL_Scancode place;
    SDL_Keycode key; // 0: what the layout types at the letter place
    int virtualKey;
} const kKeyCases[] = {
    {"AzertyAKeyIsA", &kAzerty, SDL_SCANCODE_Q, 0, 'A'},
    {"AzertyEAcuteOnUs2Is2", &kAzerty, SDL_SCANCODE_2, 0xE9, '2'},
    {"DvorakOOnUsSIsO", &kDvorak, SDL_SCANCODE_S, 0, 'O'},
    {"DvorakPeriodOnUsEIsOemPeriod", &kDvorak, SDL_SCANCODE_E, 0,
     VK_OEM_PERIOD},
    {"RussianShortIIsQ", &kRussian, SDL_SCANCODE_Q, 0, 'Q'},
    {"RussianZheIsOem1", &kRussian, SDL_SCANCODE_SEMICOLON, 0x436, VK_OEM_1},
    {"RussianPeriodOnUsSlashIsOem2", &kRussian, SDL_SCANCODE_SLASH, SDLK_PERIOD,
     VK_OEM_2},
    {"GreekSemicolonOnUsQIsQ", &kGreek, SDL_SCANCODE_Q, 0, 'Q'},
    {"HebrewSlashOnUsQIsQ", &kHebrew, SDL_SCANCODE_Q, 0, 'Q'},
    {"HebrewPageDownIsNext", &kHebrew, SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN,
     VK_NEXT},
    {"ArabicAlefIsH", &kArabic, SDL_SCANCODE_H, 0, 'H'},
    {"UnnamedKeyOnUsKIsK", &kUs, SDL_SCANCODE_K, SDLK_UNKNOWN, 'K'},
    {"CyrillicOffTheUsPlacesIsNothing", &kRussian, SDL_SCANCODE_NONUSBACKSLASH,
     0x451, 0},
};

class LayoutKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(LayoutKeys, ArriveAsWindowsVirtualKey) {
    const KeyCase& c = GetParam();
    current = c.layout;
    SDL_Keycode key = c.key ? c.key : KeyAt(c.place);
    EXPECT_EQ(UserVirtualKeyFromSdl(key, c.place, KeyAt), c.virtualKey)
        << c.name << ": key U+" << std::hex << key;
}

INSTANTIATE_TEST_SUITE_P(, LayoutKeys, ::testing::ValuesIn(kKeyCases),
                         CaseName());

} // namespace
