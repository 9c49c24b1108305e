// The message box as a player meets it: a window of its own, drawn with the
// UI font, answered only by its own keys, clicks and close request, while
// the owner's input is dropped. Driven through SDL events aimed at windows.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform_fixture.h"
#include "user/msgbox_draw.h"

namespace {

// Code page 936 texts: 级别, 分数, 错误.
const char kLevel[] = "\xbc\xb6\xb1\xf0";
const char kScore[] = "\xb7\xd6\xca\xfd";
const char kErrorZh[] = "\xb4\xed\xce\xf3";

const uint32_t kCaptionBar = 0x005AAA;
const uint32_t kButtonEdge = 0x0078D7;
const uint32_t kWhite = 0xFFFFFF;

void Push(SDL_Event event) {
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushKey(uint32_t window, SDL_Keycode key, bool down,
             Uint16 mod = KMOD_NONE) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = window;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = mod;
    Push(event);
}

void PushClick(uint32_t window, int x, int y, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = window;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    Push(event);
}

void PushClose(uint32_t window) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(event);
}

// An XRGB picture `width` pixels wide.
struct Picture {
    const uint32_t* pixels;
    int width, height;
    uint32_t At(int x, int y) const {
        return pixels[(size_t)y * width + x] & 0xFFFFFF;
    }
    // Pixels in [left, right) x [top, bottom) for which `test` holds.
    int Count(int left, int top, int right, int bottom,
              const std::function<bool(uint32_t)>& test) const {
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
            for (int x = std::max(left, 0); x < std::min(right, width); ++x)
                n += test(At(x, y)) ? 1 : 0;
        return n;
    }
    // The smallest rectangle holding every pixel of `colour`.
    RECT Bounds(uint32_t colour) const {
        RECT r = {width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) == colour) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
};

bool Dark(uint32_t p) {
    return ((p >> 16) & 0xFF) < 128 && ((p >> 8) & 0xFF) < 128 &&
           (p & 0xFF) < 128;
}
bool Light(uint32_t p) {
    return ((p >> 16) & 0xFF) > 160 && ((p >> 8) & 0xFF) > 160 &&
           (p & 0xFF) > 160;
}

Picture ShownPicture() {
    const TestShownMessageBox& box = TestMessageBoxShown();
    return {box.pixels.data(), (int)(box.rect.right - box.rect.left),
            (int)(box.rect.bottom - box.rect.top)};
}

// The test's part of the box's loop: called each time it finds no input.
std::function<void(int)> feed;
int idles;
std::vector<UINT> ownerGot; // messages that reached the owner's procedure

void Idle() {
    ++idles;
    if (feed) feed(idles);
    if (idles == 200) {
        // The box ignored what it was fed: fail rather than hang.
        ADD_FAILURE() << "the box is still up after 200 idle passes";
        PushKey(TestMessageBoxShown().window, SDLK_RETURN, true);
        PushClose(TestMessageBoxShown().window);
    }
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    ownerGot.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessageBox : public PlatformTest {
  protected:
    HWND owner = nullptr;
    void SetUp() override {
        PlatformTest::SetUp();
        TestShowMessageBoxes();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = OwnerProc;
        cls.lpszClassName = "QelBoxOwner";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        owner = CreateWindowExA(0, "QelBoxOwner", "Qel", WS_POPUP, 0, 0, 1024,
                                768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        ShowWindow(owner, SW_SHOW);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        feed = nullptr;
        idles = 0;
        ownerGot.clear();
        TestSetModalIdle(Idle);
    }
    void TearDown() override {
        feed = nullptr;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        TestRecordMessageBoxes(true);
        PlatformTest::TearDown();
    }
    int Show(std::function<void(int)> feedBox, const char* text = "Some text",
             const char* caption = "Error", UINT type = MB_OK) {
        feed = std::move(feedBox);
        return MessageBoxA(owner, text, caption, type);
    }
    // Takes every waiting message to the owner, as the game's loop would.
    void RunOwnerLoop() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
};

uint32_t Box() {
    return TestMessageBoxShown().window;
}

POINT OkCentre() {
    RECT ok = ShownPicture().Bounds(kButtonEdge);
    return {(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2};
}

// ---- What answers the box -------------------------------------------------

struct Answer {
    const char* name;
    void (*give)(HWND owner);
};

class Answers : public MessageBox,
                public ::testing::WithParamInterface<Answer> {};

TEST_P(Answers, ClosesTheBoxWithIdokOnlyWhenGiven) {
    uint32_t shown = 0;
    HWND ownerWindow = owner;
    int result = Show([&](int idle) {
        // Up and waiting, with nothing fed: the box stays.
        ASSERT_NE(Box(), 0u);
        ASSERT_NE(SDL_GetWindowFromID(Box()), nullptr);
        shown = Box();
        if (idle == 3) GetParam().give(ownerWindow);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(idles, 3) << "answered by what it was given, and only then";
    EXPECT_NE(shown, 0u);
    EXPECT_EQ(SDL_GetWindowFromID(shown), nullptr) << "its window is gone";
    EXPECT_EQ(Box(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Box, Answers,
    ::testing::Values(
        Answer{"Enter", [](HWND) { PushKey(Box(), SDLK_RETURN, true); }},
        Answer{"KeypadEnter",
               [](HWND) { PushKey(Box(), SDLK_KP_ENTER, true); }},
        Answer{"Escape", [](HWND) { PushKey(Box(), SDLK_ESCAPE, true); }},
        Answer{"Space",
               [](HWND) {
                   PushKey(Box(), SDLK_SPACE, true);
                   PushKey(Box(), SDLK_SPACE, false);
               }},
        Answer{"ClickOnOk",
               [](HWND) {
                   POINT ok = OkCentre();
                   PushClick(Box(), ok.x, ok.y, true);
                   PushClick(Box(), ok.x, ok.y, false);
               }},
        Answer{"ClickOnTheCloseBox",
               [](HWND) {
                   int right = ShownPicture().width;
                   PushClick(Box(), right - 14, 13, true);
                   PushClick(Box(), right - 14, 13, false);
               }},
        Answer{"AltF4",
               [](HWND) {
                   PushKey(Box(), SDLK_LALT, true, KMOD_LALT);
                   PushKey(Box(), SDLK_F4, true, KMOD_LALT);
               }},
        Answer{"CloseRequest", [](HWND) { PushClose(Box()); }},
        // A key with no window is for the one with the keyboard: the box.
        Answer{"KeyFromTheTestSeam", [](HWND) { TestKeyPress(VK_RETURN); }}),
    [](const ::testing::TestParamInfo<Answer>& info) {
        return std::string(info.param.name);
    });

// ---- What does not ----------------------------------------------------------

class Ignores : public MessageBox,
                public ::testing::WithParamInterface<Answer> {};

TEST_P(Ignores, TheBoxStaysAndTheOwnerNeverHearsOfIt) {
    HWND ownerWindow = owner;
    int result = Show([&](int idle) {
        if (idle == 2) GetParam().give(ownerWindow);
        if (idle == 5) PushKey(Box(), SDLK_RETURN, true);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(idles, 5) << "the box was answered before its Enter";
    RunOwnerLoop();
    EXPECT_TRUE(IsWindow(owner));
    for (UINT message : ownerGot) {
        EXPECT_NE(message, (UINT)WM_KEYDOWN);
        EXPECT_NE(message, (UINT)WM_KEYUP);
        EXPECT_NE(message, (UINT)WM_SYSKEYDOWN);
        EXPECT_NE(message, (UINT)WM_CLOSE);
    }
}

uint32_t OwnerOf(HWND owner) {
    return TestSdlWindowId(owner);
}

INSTANTIATE_TEST_SUITE_P(
    Box, Ignores,
    ::testing::Values(
        Answer{"EnterForTheOwner",
               [](HWND owner) {
                   PushKey(OwnerOf(owner), SDLK_RETURN, true);
                   PushKey(OwnerOf(owner), SDLK_RETURN, false);
               }},
        Answer{"LetterForTheOwner",
               [](HWND owner) {
                   PushKey(OwnerOf(owner), SDLK_a, true);
                   PushKey(OwnerOf(owner), SDLK_a, false);
               }},
        Answer{"AltF4ForTheOwner",
               [](HWND owner) {
                   PushKey(OwnerOf(owner), SDLK_LALT, true, KMOD_LALT);
                   PushKey(OwnerOf(owner), SDLK_F4, true, KMOD_LALT);
               }},
        Answer{"CloseForTheOwner",
               [](HWND owner) { PushClose(OwnerOf(owner)); }},
        Answer{"ClickOnTheOwner",
               [](HWND owner) {
                   PushClick(OwnerOf(owner), 512, 384, true);
                   PushClick(OwnerOf(owner), 512, 384, false);
               }},
        Answer{"LetterForTheBox",
               [](HWND) {
                   PushKey(Box(), SDLK_a, true);
                   PushKey(Box(), SDLK_a, false);
               }},
        Answer{"F4WithoutAlt", [](HWND) { PushKey(Box(), SDLK_F4, true); }},
        Answer{"SpaceReleasedOnly",
               [](HWND) { PushKey(Box(), SDLK_SPACE, false); }},
        Answer{"ClickOnTheText",
               [](HWND) {
                   PushClick(Box(), 20, 45, true);
                   PushClick(Box(), 20, 45, false);
               }},
        Answer{"PressOnOkReleasedOff",
               [](HWND) {
                   POINT ok = OkCentre();
                   PushClick(Box(), ok.x, ok.y, true);
                   PushClick(Box(), 20, 45, false);
               }},
        Answer{"RightClickOnOk",
               [](HWND) {
                   POINT ok = OkCentre();
                   SDL_Event event = {};
                   event.type = SDL_MOUSEBUTTONDOWN;
                   event.button.windowID = Box();
                   event.button.button = SDL_BUTTON_RIGHT;
                   event.button.x = ok.x;
                   event.button.y = ok.y;
                   Push(event);
                   event.type = SDL_MOUSEBUTTONUP;
                   Push(event);
               }}),
    [](const ::testing::TestParamInfo<Answer>& info) {
        return std::string(info.param.name);
    });

TEST_F(MessageBox, ClicksAfterTheAnswerNeverReachTheOwnersLoop) {
    Show([](int idle) {
        if (idle != 1) return;
        PushKey(Box(), SDLK_RETURN, true);
        POINT ok = OkCentre();
        PushClick(Box(), ok.x, ok.y, true);
        PushClick(Box(), ok.x, ok.y, false);
    });
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        << "message " << msg.message << " key " << msg.wParam;
}

TEST_F(MessageBox, TheKeysAfterTheAnswerGoToTheOwner) {
    Show([](int idle) {
        if (idle != 1) return;
        PushKey(Box(), SDLK_RETURN, true);
        PushKey(Box(), SDLK_RETURN, false);
    });
    RunOwnerLoop();
    EXPECT_EQ(std::count(ownerGot.begin(), ownerGot.end(), (UINT)WM_KEYUP), 1);
}

// ---- Where it shows --------------------------------------------------------

struct Placement {
    const char* name;
    bool owned, ownerShown;
    bool centredOnOwner;
};

class Placements : public MessageBox,
                   public ::testing::WithParamInterface<Placement> {};

TEST_P(Placements, CentredOnTheShownOwnerOrElseTheScreen) {
    SDL_Window* ownerSdl = SDL_GetWindowFromID(TestSdlWindowId(owner));
    ASSERT_NE(ownerSdl, nullptr);
    // An owner that is not the whole screen, to tell its centre from the
    // screen's.
    SDL_SetWindowFullscreen(ownerSdl, 0);
    SDL_SetWindowPosition(ownerSdl, 100, 50);
    SDL_SetWindowSize(ownerSdl, 400, 300);
    if (!GetParam().ownerShown) ShowWindow(owner, SW_HIDE);
    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    RECT at = {};
    feed = [&](int) {
        at = TestMessageBoxShown().rect;
        PushKey(Box(), SDLK_RETURN, true);
    };
    MessageBoxA(GetParam().owned ? owner : nullptr, "Text", "Error", MB_OK);
    int cx = (at.left + at.right) / 2, cy = (at.top + at.bottom) / 2;
    int wantX = GetParam().centredOnOwner ? 100 + 200 : screen.x + screen.w / 2;
    int wantY = GetParam().centredOnOwner ? 50 + 150 : screen.y + screen.h / 2;
    EXPECT_NEAR(cx, wantX, 1);
    EXPECT_NEAR(cy, wantY, 1);
    EXPECT_GT(at.right - at.left, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Box, Placements,
    ::testing::Values(Placement{"ShownOwner", true, true, true},
                      Placement{"HiddenOwner", true, false, false},
                      Placement{"NoOwner", false, true, false}),
    [](const ::testing::TestParamInfo<Placement>& info) {
        return std::string(info.param.name);
    });

// ---- What it shows ---------------------------------------------------------

TEST_F(MessageBox, TheLineOnStderrComesBeforeTheBox) {
    std::string early;
    ::testing::internal::CaptureStderr();
    Show(
        [&](int) {
            if (early.empty()) early = ::testing::internal::GetCapturedStderr();
            PushKey(Box(), SDLK_RETURN, true);
        },
        kLevel, kErrorZh);
    EXPECT_EQ(early, "\xe9\x94\x99\xe8\xaf\xaf: \xe7\xba\xa7\xe5\x88\xab\n");
}

TEST_F(MessageBox, ItsWindowShowsTheCaptionTheTextAndTheFocusedOk) {
    std::vector<uint32_t> window;
    Show(
        [&](int) {
            SDL_Window* sdl = SDL_GetWindowFromID(Box());
            SDL_Surface* surface = sdl ? SDL_GetWindowSurface(sdl) : nullptr;
            if (surface && surface->format->BytesPerPixel == 4)
                for (int y = 0; y < surface->h; ++y) {
                    const uint32_t* row =
                        (const uint32_t*)((const uint8_t*)surface->pixels +
                                          y * surface->pitch);
                    window.insert(window.end(), row, row + surface->w);
                }
            PushKey(Box(), SDLK_RETURN, true);
        },
        "CreateSurface lpDDbmp1", "Error");
    Picture box = ShownPicture();
    ASSERT_GT(box.width, 100);
    ASSERT_GT(box.height, 80);

    // What the window shows is the picture drawn.
    ASSERT_EQ(window.size(), (size_t)box.width * box.height);
    for (size_t i = 0; i < window.size(); i += 97)
        ASSERT_EQ(window[i] & 0xFFFFFF, box.pixels[i] & 0xFFFFFF) << i;

    // The caption bar, with the caption's light ink on it.
    int bar = box.Count(1, 1, box.width - 30, 26,
                        [](uint32_t p) { return p == kCaptionBar; });
    EXPECT_GT(bar, (box.width - 31) * 25 * 8 / 10);
    EXPECT_GT(box.Count(1, 1, 80, 26, Light), 20);

    // The text's dark ink on the white body, above the button strip.
    RECT ok = box.Bounds(kButtonEdge);
    ASSERT_GT(ok.right, ok.left);
    EXPECT_GT(box.Count(1, 27, box.width - 1, ok.top - 8, Dark), 60);
    EXPECT_EQ(box.At(box.width / 2, 28), kWhite);

    // OK, the default button, at the bottom right, with the dotted focus
    // rectangle three pixels inside its edge.
    EXPECT_GT(ok.left, box.width / 2);
    EXPECT_GT(ok.top, box.height / 2);
    EXPECT_EQ(box.At(ok.left + 1, ok.top + 1), kButtonEdge) << "double edge";
    for (int x = ok.left + 3; x < ok.right - 4; ++x) {
        bool dot = (x - ok.left - 3) % 2 == 0;
        EXPECT_EQ(box.At(x, ok.top + 3) == 0, dot) << "top, x " << x;
        EXPECT_EQ(box.At(x, ok.bottom - 4) == 0, dot) << "bottom, x " << x;
    }
    for (int y = ok.top + 3; y < ok.bottom - 3; y += 2) {
        EXPECT_EQ(box.At(ok.left + 3, y), 0u) << "left, y " << y;
        EXPECT_EQ(box.At(ok.right - 4, y), 0u) << "right, y " << y;
    }
    EXPECT_GT(
        box.Count(ok.left + 4, ok.top + 4, ok.right - 4, ok.bottom - 4, Dark),
        10)
        << "the label OK";
}

TEST_F(MessageBox, AnEmptyCaptionLeavesTheBarBare) {
    Show([](int) { PushKey(Box(), SDLK_RETURN, true); }, "Text", "");
    Picture box = ShownPicture();
    EXPECT_EQ(box.Count(1, 1, box.width - 30, 26,
                        [](uint32_t p) { return p != kCaptionBar; }),
              0);
}

// ---- The picture, without a window
// -------------------------------------------

Picture Draw(UserBoxPicture& picture) {
    const PixelMap& map = picture.Draw(false);
    EXPECT_EQ(map.pitch, map.width);
    return {map.pixels, map.width, map.height};
}

// The dark ink of the body (between the caption bar and the button strip)
// as a picture of its own, cut to the ink.
std::vector<uint32_t> BodyInk(const Picture& box, RECT* bounds) {
    RECT r = {box.width, box.height, -1, -1};
    int bottom = box.height - 46;
    for (int y = 27; y < bottom; ++y)
        for (int x = 1; x < box.width - 1; ++x)
            if (Dark(box.At(x, y))) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    std::vector<uint32_t> ink;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ink.push_back(box.At(x, y));
    if (bounds) *bounds = r;
    return ink;
}

TEST(MessageBoxPicture, ChineseTextIsDrawnAsItsOwnGlyphs) {
    UserBoxPicture level(kLevel, "Error", MB_OK);
    UserBoxPicture score(kScore, "Error", MB_OK);
    RECT levelAt, scoreAt;
    std::vector<uint32_t> levelInk = BodyInk(Draw(level), &levelAt);
    std::vector<uint32_t> scoreInk = BodyInk(Draw(score), &scoreAt);
    ASSERT_GT(levelInk.size(), 100u);
    ASSERT_GT(scoreInk.size(), 100u);
    EXPECT_NE(levelInk, scoreInk) << "two texts, the same marks: not glyphs";

    // The same ink as the UI font gives those two characters.
    UserCanvas alone(200, 60, RGB(255, 255, 255));
    alone.Label(10, 10, kLevel, RGB(0, 0, 0));
    RECT aloneAt;
    Picture alonePicture = {alone.map.pixels, alone.map.width,
                            alone.map.height};
    std::vector<uint32_t> reference;
    {
        RECT r = {200, 60, -1, -1};
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                if (Dark(alonePicture.At(x, y))) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        aloneAt = r;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                reference.push_back(alonePicture.At(x, y));
    }
    EXPECT_EQ(levelAt.right - levelAt.left, aloneAt.right - aloneAt.left);
    EXPECT_EQ(levelAt.bottom - levelAt.top, aloneAt.bottom - aloneAt.top);
    EXPECT_EQ(levelInk, reference);
}

struct IconCase {
    const char* name;
    UINT type;
    uint32_t colour; // the icon's fill; 0 for no icon
};

class Icons : public ::testing::TestWithParam<IconCase> {};

TEST_P(Icons, TheTypeAsksForItsIcon) {
    UserBoxPicture picture("Text", "Error", GetParam().type);
    Picture box = Draw(picture);
    const uint32_t fills[] = {0xC81E1E, 0xFAC800, kCaptionBar};
    for (uint32_t fill : fills) {
        int n = box.Count(1, 27, 60, box.height - 46,
                          [fill](uint32_t p) { return p == fill; });
        if (fill == GetParam().colour)
            EXPECT_GT(n, 250) << std::hex << fill;
        else
            EXPECT_EQ(n, 0) << std::hex << fill;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Box, Icons,
    ::testing::Values(IconCase{"Ok", MB_OK, 0},
                      IconCase{"Hand", MB_ICONHAND, 0xC81E1E},
                      IconCase{"Stop", MB_ICONSTOP, 0xC81E1E},
                      IconCase{"Exclamation", MB_ICONEXCLAMATION, 0xFAC800},
                      IconCase{"Information", MB_ICONINFORMATION, kCaptionBar},
                      IconCase{"Question", MB_ICONQUESTION, kCaptionBar}),
    [](const ::testing::TestParamInfo<IconCase>& info) {
        return std::string(info.param.name);
    });

TEST(MessageBoxPicture, InformationAndQuestionBearDifferentMarks) {
    UserBoxPicture info("Text", "Error", MB_ICONINFORMATION);
    UserBoxPicture question("Text", "Error", MB_ICONQUESTION);
    Picture a = Draw(info);
    std::vector<uint32_t> first(a.pixels, a.pixels + a.width * a.height);
    Picture b = Draw(question);
    ASSERT_EQ(a.width, b.width);
    std::vector<uint32_t> second(b.pixels, b.pixels + b.width * b.height);
    EXPECT_NE(first, second);
}

TEST(MessageBoxPicture, SizedToItsText) {
    UserBoxPicture one("Short", "Error", MB_OK);
    UserBoxPicture three("Short\nSecond line\r\nThird", "Error", MB_OK);
    UserBoxPicture wide(std::string(60, 'W').c_str(), "Error", MB_OK);
    UserBoxPicture icon("Short", "Error", MB_ICONHAND);
    UserCanvas measure(1, 1, RGB(255, 255, 255));
    int line = measure.Measure("A").cy;
    EXPECT_EQ(three.Height(), one.Height() + 2 * line);
    EXPECT_EQ(three.Width(), one.Width()) << "still at the narrowest";
    EXPECT_GT(wide.Width(), measure.Measure(std::string(60, 'W')).cx);
    EXPECT_GE(icon.Height(), one.Height());
    RECT ok = one.Button();
    EXPECT_EQ(ok.right, one.Width() - 12);
    EXPECT_LT(ok.bottom, one.Height());
}

struct WrapCase {
    const char* name;
    std::string text;
    int widthOf; // the width allowed: that of the first so many bytes
    std::vector<std::string> lines;
};

class Wraps : public ::testing::TestWithParam<WrapCase> {};

TEST_P(Wraps, LinesBreakAtWordsOrBetweenChineseCharacters) {
    UserCanvas canvas(1, 1, RGB(255, 255, 255));
    const WrapCase& c = GetParam();
    int width = c.widthOf ? (int)canvas.Measure(c.text.substr(0, c.widthOf)).cx
                          : 100000;
    EXPECT_EQ(UserWrapText(canvas, c.text, width), c.lines);
}

const std::string kFour = std::string(kLevel) + kScore; // 级别分数

INSTANTIATE_TEST_SUITE_P(
    Box, Wraps,
    ::testing::Values(
        WrapCase{"OneLine", "DXshow RenderFile", 0, {"DXshow RenderFile"}},
        WrapCase{"LineBreaks", "a\r\nb\nc", 0, {"a", "b", "c"}},
        WrapCase{"AtWords", "aaa bbb ccc", 7, {"aaa bbb", "ccc"}},
        WrapCase{"ALongWordStaysWhole", "aaaaaaaa b", 4, {"aaaaaaaa", "b"}},
        WrapCase{"Chinese", kFour, 4, {kLevel, kScore}},
        WrapCase{"ChineseAfterAWord",
                 "ab" + kFour,
                 2,
                 {"ab", "\xbc\xb6", "\xb1\xf0", "\xb7\xd6", "\xca\xfd"}},
        WrapCase{"Empty", "", 0, {""}}),
    [](const ::testing::TestParamInfo<WrapCase>& info) {
        return std::string(info.param.name);
    });

} // namespace
