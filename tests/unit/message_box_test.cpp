// The message box: a window of its own, centred on its owner, drawn with the
// UI font, answered only by its own keys, clicks and close request; it and
// its owner, as every window the stand-in makes, stop SDL's text input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "platform_fixture.h"
#include "sdl_events.h"
#include "user/paint.h"

namespace {

uint32_t Box() {
    return TestMessageBoxShown().window;
}

// A click `right` pixels left of the box's right edge, `y` down from its top
// (up from its bottom if negative): OK at (55, -23), close box at (14, 13).
void Click(int right, int y, Uint8 button = SDL_BUTTON_LEFT) {
    RECT r = TestMessageBoxShown().rect;
    int x = r.right - r.left - right, top = y < 0 ? r.bottom - r.top + y : y;
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event e = {type};
        e.button = {type, 0, Box(), 0, button, 0, 1, 0, x, top};
        PushEvent(e);
    }
}

struct Answer {
    const char* name;
    const char* input;
};

class MessageBox : public PlatformTest,
                   public ::testing::WithParamInterface<Answer> {
  protected:
    HWND owner = nullptr;
    void SetUp() override {
        PlatformTest::SetUp();
        TestShowMessageBoxes();
        // Text input hands SDL's keys to an input method first.
        SDL_StartTextInput();
        owner = MakeWindow(DefWindowProcA);
        EXPECT_FALSE(SDL_IsTextInputActive()) << "a window stops text input";
        SDL_StartTextInput();
    }
};

// Fed at its second pass what must not answer it, at its third an answer
// (keys as sdl_events.h types them, O a click on OK, C on the close box).
TEST_P(MessageBox, EndsWhenAnsweredAndOnlyThen) {
    uint32_t shown = 0, ownerId = TestSdlWindowId(owner);
    std::string answer = GetParam().input;
    modalFeed = [&](int pass) {
        shown = Box();
        EXPECT_FALSE(SDL_IsTextInputActive()) << "so does a message box";
        if (pass == 2) PushKeys("EW", ownerId), PushKeys("x[]4", Box());
        if (pass == 2) Click(55, -23, SDL_BUTTON_RIGHT);
        if (pass == 3 && (answer == "O" || answer == "C"))
            Click(answer == "O" ? 55 : 14, answer == "O" ? -23 : 13);
        else if (pass == 3)
            PushKeys(answer.c_str(), Box());
    };
    EXPECT_EQ(MessageBoxA(owner, "Text", "Error", MB_OK), IDOK);
    EXPECT_EQ(modalPasses, 3) << "up until answered, and no longer";
    EXPECT_EQ(SDL_GetWindowFromID(shown), nullptr) << "its window is gone";
}

INSTANTIATE_TEST_SUITE_P(, MessageBox,
                         ::testing::Values(Answer{"ByEnter", "E"},
                                           Answer{"ByEscape", "X"},
                                           Answer{"BySpace", "S"},
                                           Answer{"ByClickOnOk", "O"},
                                           Answer{"ByClickOnTheCloseBox", "C"},
                                           Answer{"ByAltF4", "[4"},
                                           Answer{"ByTheCloseRequest", "W"}),
                         CaseName());

// The box around the light (or dark) ink in `area`: its width, its pixels.
std::vector<uint32_t> Ink(const uint32_t* pixels, int pitch, RECT area,
                          bool light) {
    RECT r = {area.right, area.bottom, area.left, area.top};
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            uint32_t p = pixels[y * pitch + x];
            int sum = (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
            if (light ? sum > 600 : sum < 300)
                r = {std::min(r.left, x), std::min(r.top, y),
                     std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
        }
    std::vector<uint32_t> ink = {(uint32_t)(r.right - r.left)};
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x)
            ink.push_back(pixels[y * pitch + x] & 0xFFFFFF);
    return ink;
}

TEST_F(MessageBox, ShowsItsChineseCaptionAndTextCentredOnItsOwner) {
    // An owner smaller than the screen, whose centre is (300, 200).
    SDL_Window* ownerSdl = SDL_GetWindowFromID(TestSdlWindowId(owner));
    SDL_SetWindowFullscreen(ownerSdl, 0);
    SDL_SetWindowPosition(ownerSdl, 100, 50);
    SDL_SetWindowSize(ownerSdl, 400, 300);
    const char level[] = "\xbc\xb6\xb1\xf0", error[] = "\xb4\xed\xce\xf3";
    std::string early;
    std::vector<uint32_t> shot;
    ::testing::internal::CaptureStderr();
    modalFeed = [&](int pass) {
        if (pass > 1) return;
        early = ::testing::internal::GetCapturedStderr();
        SDL_Surface* s = SDL_GetWindowSurface(SDL_GetWindowFromID(Box()));
        shot.assign((uint32_t*)s->pixels, (uint32_t*)s->pixels + s->w * s->h);
        PushKeys("E", Box());
    };
    MessageBoxA(owner, level, error, MB_OK); // 级别 and 错误, code page 936
    EXPECT_EQ(early, "\xe9\x94\x99\xe8\xaf\xaf: \xe7\xba\xa7\xe5\x88\xab\n");
    RECT at = TestMessageBoxShown().rect;
    int w = at.right - at.left, h = at.bottom - at.top;
    ASSERT_EQ(shot.size(), (size_t)(w * h));
    EXPECT_NEAR((at.left + at.right) / 2, 300, 1);
    EXPECT_NEAR((at.top + at.bottom) / 2, 200, 1);
    // As the UI font draws them: white on the caption bar, black on white.
    UserCanvas caption(200, 40, kUiCaption), text(200, 40, kUiWhite),
        other(200, 40, kUiWhite);
    caption.Label(10, 10, error, kUiWhite, true);
    text.Label(10, 10, level, kUiBlack);
    other.Label(10, 10, error, kUiBlack);
    EXPECT_NE(Ink(text.pixels.data(), 200, {0, 0, 200, 40}, false),
              Ink(other.pixels.data(), 200, {0, 0, 200, 40}, false))
        << "two texts in the same marks: the font has no Chinese";
    EXPECT_EQ(Ink(shot.data(), w, {1, 1, w - 30, 26}, true),
              Ink(caption.pixels.data(), 200, {0, 0, 200, 40}, true));
    EXPECT_EQ(Ink(shot.data(), w, {1, 27, w - 1, h - 46}, false),
              Ink(text.pixels.data(), 200, {0, 0, 200, 40}, false));
}

} // namespace
