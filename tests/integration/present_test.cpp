// What the X server ends up showing of the game's window, frame after
// frame, against the picture shown scaled whole: letters falling, a level
// change, the pause screen, the menu and the About box over the game, and
// a resize, at 1:1 and scaled to three screen sizes. (An uncovered window
// sent whole again: ddraw_surface_test.cpp.)
// The server's copy is made only of what the presenter sent, so a changed
// pixel that was not sent shows as a difference.
#include <SDL.h>

#include <cstring>
#include <string>

#include "display/display.h"
#include "game/frame.h"
#include "game/letters.h"
#include "game_fixture.h"
#include "scaled_whole.h"
#include "sdl_events.h"
#include "testing/seams.h"

namespace {

class Present : public StartedGame {
  protected:
    SDL_Window* sdl = nullptr;
    DWORD tick = 100000;
    // The window's pixels on the X server: only what was sent reaches
    // them; before that, a colour no picture of the game has.
    int width = 0, height = 0;
    std::vector<uint32_t> server;

    void SetUp() override {
        StartedGame::SetUp();
        sdl = SDL_GetWindowFromID(TestSdlWindowId(hMainWindow));
        ASSERT_NE(sdl, nullptr);
    }
    void Lose(int w, int h) {
        width = w, height = h;
        server.assign((size_t)w * h, 0x010203);
    }
    static void Key(int virtualKey) {
        SendMessageA(hMainWindow, WM_KEYDOWN, (WPARAM)virtualKey, 0);
    }
    // A frame `step` ms after the last, and what the X server shows of it.
    void Frame(const std::string& what, DWORD step = 17) {
        TestSetTickCount(tick += step);
        GameFrame();
        ExpectShownWhole(what);
    }
    // What the X server shows now is `picture` (by default the picture
    // last shown) scaled whole; the first pixel that is not, and how many.
    void ExpectShownWhole(const std::string& step,
                          std::vector<uint32_t> picture = {}) {
        SDL_Surface* s = SDL_GetWindowSurface(sdl);
        ASSERT_TRUE(s && s->w == width && s->h == height);
        for (const SDL_Rect& r : TestSentRects()) {
            ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= width &&
                        r.y + r.h <= height)
                << r.x << "," << r.y << " " << r.w << "x" << r.h;
            for (int y = r.y; y < r.y + r.h; ++y)
                std::memcpy(&server[(size_t)y * width + r.x],
                            (const char*)s->pixels + y * s->pitch + r.x * 4,
                            (size_t)r.w * 4);
        }
        if (picture.empty()) picture = TestScreenImage();
        ASSERT_EQ(picture.size(), (size_t)1024 * 768);
        std::vector<uint32_t> want = ScaledWhole(picture, s->w, s->h);
        size_t first = 0;
        EXPECT_EQ(PixelsWrong(server.data(), want, &first), 0u)
            << step << " at " << s->w << "x" << s->h << ": first at "
            << first % (size_t)s->w << "," << first / (size_t)s->w;
    }
};

TEST_F(Present, TheServerShowsEveryPictureAsAWholeScaleOfIt) {
    for (SDL_Point size : {SDL_Point{1024, 768}, SDL_Point{1280, 720},
                           SDL_Point{1920, 1080}, SDL_Point{3840, 2160}}) {
        ResetGame();
        SDL_SetWindowFullscreen(sdl, 0);
        SDL_SetWindowSize(sdl, size.x, size.y);
        RunLoop(); // the resize's own events, dispatched as the game does
        Lose(size.x, size.y);
        // The pause screen: after the first, only the HUD's clock changes.
        for (int i = 0; i < 3; ++i) {
            Frame("pause screen " + std::to_string(i));
            EXPECT_TRUE(i == 0 || SentShare(sdl) < 0.01) << "paused, " << i;
        }
        // Level 30, a letter spawned in every frame that steps them all,
        // some knocked out from among the others.
        Key(VK_SPACE);
        for (int i = 1; i < 30; ++i)
            Key(VK_NEXT);
        ASSERT_EQ(game.level, 30);
        for (int i = 0; i < 45; ++i) {
            Frame("letters falling " + std::to_string(i), i % 3 ? 17 : 170);
            if (i % 7 == 6) HitKey(letters[i % game.highWater].text[0]);
        }
        EXPECT_GE(game.liveCount, 8);
        // A level earned: the table emptied, then filling again.
        Key(VK_NEXT);
        ASSERT_EQ(game.liveCount, 0);
        for (int i = 0; i < 13; ++i)
            Frame("new level " + std::to_string(i), i ? 170 : 17);
        // Paused over letters.
        Key(VK_SPACE);
        Frame("paused again");
        // The menu bar (F10), then the About box: each picture as shown,
        // and the frame again once they close, before the next one comes.
        for (std::string keys : {"0", "[h]a"}) {
            modalPasses = 0;
            modalFeed = [&](int pass) {
                if (pass == 1) ExpectShownWhole("modal " + keys);
                if (pass == 2) PushKeys("X");
            };
            PushKeys(keys.c_str());
            RunLoop(); // the menu's or the box's loop runs inside
            modalFeed = nullptr;
            EXPECT_EQ(modalPasses, 2) << keys << " shown until Escape";
            ExpectShownWhole("closed " + keys,
                             TestSurfacePixels(lpDDprimary).pixels);
            Frame("after " + keys);
        }
    }
}

} // namespace
