// What the X server ends up showing of the game's window, frame after
// frame, against the picture shown scaled whole: letters falling, a level
// change, the pause screen, the menu and the About box over the game, a
// resize and an uncovered window, at 1:1 and scaled to three screen sizes.
// The server's copy is made only of what the presenter sent, so a changed
// pixel that was not sent shows as a difference.
#include <pixman.h>

#include <SDL.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/app.h"
#include "audio/music.h"
#include "audio_files.h"
#include "display/display.h"
#include "game/frame.h"
#include "game/letters.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "sdl_events.h"
#include "temp_dir.h"
#include "testing/seams.h"

namespace {

// A colour no picture of the game has: what the X server holds of a window
// before anything is sent to it.
const uint32_t kUnknown = 0x010203;

// The window's pixels on the X server: only what was sent reaches them.
struct ServerCopy {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    void Lose(int w, int h) {
        width = w, height = h;
        pixels.assign((size_t)w * h, kUnknown);
    }
    void Receive(const SDL_Surface* from, const std::vector<SDL_Rect>& rects) {
        ASSERT_EQ(from->w, width);
        ASSERT_EQ(from->h, height);
        for (const SDL_Rect& r : rects) {
            ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= width &&
                        r.y + r.h <= height)
                << r.x << "," << r.y << " " << r.w << "x" << r.h;
            for (int y = r.y; y < r.y + r.h; ++y)
                std::memcpy(&pixels[(size_t)y * width + r.x],
                            (const char*)from->pixels + y * from->pitch +
                                r.x * 4,
                            (size_t)r.w * 4);
        }
    }
};

// `picture` (1024 by 768) as a window of `w` by `h` shows it: as large as
// fits, centred on black, scaled whole with a bilinear filter, the edge
// pixels repeated outward.
std::vector<uint32_t> ScaledWhole(const std::vector<uint32_t>& picture, int w,
                                  int h) {
    std::vector<uint32_t> out((size_t)w * h, 0);
    int pw = w, ph = (int)((int64_t)w * 768 / 1024);
    if (ph > h) ph = h, pw = (int)((int64_t)h * 1024 / 768);
    const int px = (w - pw) / 2, py = (h - ph) / 2;
    pixman_image_t* source = pixman_image_create_bits(
        PIXMAN_x8r8g8b8, 1024, 768, (uint32_t*)picture.data(), 1024 * 4);
    pixman_image_t* dest =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, out.data(), w * 4);
    if (pw != 1024 || ph != 768) {
        pixman_transform_t scale;
        pixman_transform_init_scale(
            &scale, (pixman_fixed_t)(((int64_t)1024 << 16) + pw / 2) / pw,
            (pixman_fixed_t)(((int64_t)768 << 16) + ph / 2) / ph);
        pixman_image_set_transform(source, &scale);
        pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
    }
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, dest, 0, 0, 0, 0,
                             px, py, pw, ph);
    pixman_image_unref(dest);
    pixman_image_unref(source);
    return out;
}

class Present : public PlatformTest {
  protected:
    TempDir dir;
    std::unique_ptr<WorkingDirectory> here;
    SDL_Window* sdl = nullptr;
    ServerCopy server;
    DWORD tick = 100000;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        ResetGame();
        musicPlayer = MusicPlayer{};
        lpDD = nullptr, lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
        using namespace audio_files;
        ASSERT_TRUE(dir.WriteJpeg("finger.jpg", 320, 160, 0x287828));
        for (const char* wav : {"damage_axe.wav", "item_specialdrop.wav"})
            ASSERT_TRUE(WriteBytes(dir.File(wav), SimpleWave(Samples(400))));
        here.reset(new WorkingDirectory(dir.path));
        strcpy(szAppClass, "QelPresentTest");
        RegisterMainWindowClass(GameModule());
        ASSERT_TRUE(InitApplication(GameModule(), SW_SHOW));
        sdl = SDL_GetWindowFromID(TestSdlWindowId(hMainWindow));
        ASSERT_NE(sdl, nullptr);
    }
    void TearDown() override {
        ReleaseAll();
        here.reset();
        ResetGame();
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio());
        PlatformTest::TearDown();
    }

    void Resize(int w, int h) {
        SDL_SetWindowFullscreen(sdl, 0);
        SDL_SetWindowSize(sdl, w, h);
        Pump(); // the resize's own events
        server.Lose(w, h);
    }
    // Messages and window events waiting, dispatched as the game's loop
    // does (a menu or dialog runs its loop inside).
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    static void Key(int virtualKey) {
        SendMessageA(hMainWindow, WM_KEYDOWN, (WPARAM)virtualKey, 0);
    }
    void Frame(DWORD step = 17) {
        tick += step;
        TestSetTickCount(tick);
        GameFrame();
    }
    // The share of the window the last present sent.
    double Sent() {
        double area = 0;
        for (const SDL_Rect& r : TestSentRects())
            area += (double)r.w * r.h;
        SDL_Surface* s = SDL_GetWindowSurface(sdl);
        return area / ((double)s->w * s->h);
    }
    // What the X server shows now is `picture` (by default the picture
    // last shown) scaled whole; the first pixel that is not, and how many.
    void ExpectShownWhole(const std::string& step,
                          std::vector<uint32_t> picture = {}) {
        SDL_Surface* s = SDL_GetWindowSurface(sdl);
        ASSERT_NE(s, nullptr);
        server.Receive(s, TestSentRects());
        if (picture.empty()) picture = TestScreenImage();
        ASSERT_EQ(picture.size(), (size_t)1024 * 768);
        std::vector<uint32_t> want = ScaledWhole(picture, s->w, s->h);
        size_t wrong = 0, first = 0;
        for (size_t i = 0; i < want.size(); ++i)
            if ((server.pixels[i] ^ want[i]) & 0xFFFFFF) {
                if (!wrong) first = i;
                ++wrong;
            }
        EXPECT_EQ(wrong, 0u)
            << step << " at " << s->w << "x" << s->h << ": first at "
            << first % (size_t)s->w << "," << first / (size_t)s->w << " shows "
            << std::hex << (server.pixels[first] & 0xFFFFFF) << " for "
            << (want[first] & 0xFFFFFF);
    }
};

TEST_F(Present, TheServerShowsEveryPictureAsAWholeScaleOfIt) {
    for (SDL_Point size : {SDL_Point{1024, 768}, SDL_Point{1280, 720},
                           SDL_Point{1920, 1080}, SDL_Point{3840, 2160}}) {
        ResetGame();
        Resize(size.x, size.y);
        // The pause screen: after the first, only the HUD's clock changes.
        for (int i = 0; i < 3; ++i) {
            Frame();
            ExpectShownWhole("pause screen " + std::to_string(i));
            if (i > 0) {
                EXPECT_LT(Sent(), 0.01) << "paused, frame " << i;
            }
        }
        // Level 30, a letter spawned in every frame that steps them all,
        // some knocked out from among the others.
        Key(VK_SPACE);
        for (int i = 1; i < 30; ++i)
            Key(VK_NEXT);
        ASSERT_EQ(game.level, 30);
        for (int i = 0; i < 45; ++i) {
            Frame(i % 3 ? 17 : 170);
            if (i % 7 == 6) HitKey(letters[i % game.highWater].text[0]);
            ExpectShownWhole("letters falling " + std::to_string(i));
        }
        EXPECT_GE(game.liveCount, 8);
        // A level earned: the table emptied.
        Key(VK_NEXT);
        ASSERT_EQ(game.liveCount, 0);
        Frame();
        ExpectShownWhole("level change");
        for (int i = 0; i < 12; ++i) {
            Frame(170);
            ExpectShownWhole("new level " + std::to_string(i));
        }
        // Paused over letters.
        Key(VK_SPACE);
        Frame();
        ExpectShownWhole("paused again");
        // The menu bar (F10), then the About box: each picture as shown,
        // and the frame again once they close.
        for (const char* keys : {"0", "[h]a"}) {
            int shown = 0;
            modalPasses = 0;
            modalFeed = [&](int pass) {
                if (pass == 1) {
                    ExpectShownWhole(std::string("modal ") + keys);
                    ++shown;
                }
                if (pass == 2) PushKeys("X");
            };
            PushKeys(keys);
            Pump();
            modalFeed = nullptr;
            EXPECT_EQ(shown, 1) << keys;
            // Closed, the game's frame is back before the next one comes.
            ExpectShownWhole(std::string("closed ") + keys,
                             TestSurfacePixels(lpDDprimary).pixels);
            Frame();
            ExpectShownWhole(std::string("after ") + keys);
        }
        // Uncovered: the X server lost the picture, all of it comes again.
        PushWindowEvent(SDL_WINDOWEVENT_EXPOSED, SDL_GetWindowID(sdl));
        Pump();
        server.Lose(size.x, size.y);
        Frame();
        ExpectShownWhole("uncovered");
        Key(VK_SPACE);
        for (int i = 0; i < 6; ++i) {
            Frame();
            ExpectShownWhole("running after " + std::to_string(i));
        }
    }
}

} // namespace
