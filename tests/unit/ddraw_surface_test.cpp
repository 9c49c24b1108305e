// The DirectDraw stand-in: colour fills, colour-keyed copies, the flip and
// the surfaces refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ddraw_fixture.h"
#include "sdl_events.h"
#include "user/damage.h"
#include "user/user_private.h"

namespace {

const uint32_t kGrey = 0xC8C8C8;

// Right and bottom edges lie outside the rectangle. (A rectangle not
// inside the surface is refused: trace_test.cpp.)
TEST_F(DirectDrawTest, ColourFillCoversItsRectangleAndNothingElse) {
    LPDIRECTDRAWSURFACE7 surface = Offscreen(64, 48);
    RECT cases[] = {{10, 20, 30, 40},
                    {0, 0, 3, 2},
                    {60, 40, 64, 48},
                    {0, 0, 64, 48},
                    {63, 0, 64, 1}};
    for (RECT& c : cases) {
        ASSERT_EQ(Fill(surface, nullptr, kGrey), DD_OK);
        ASSERT_EQ(Fill(surface, &c, 0x0000FF), DD_OK);
        TestSurfaceImage image = TestSurfacePixels(surface);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                bool in =
                    x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                ASSERT_EQ(image.At(x, y), in ? 0x0000FFu : kGrey)
                    << c.left << "," << c.top << ": " << x << "," << y;
            }
    }
    surface->Release();
}

// White (once with the unused top byte set) on diagonals, near-whites as
// JPEG leaves them, the rest all different; rows of 4 + 4 + 3 pixels.
uint32_t Picture(int x, int y) {
    if ((x + y) % 3 == 0) return x == 4 || x == 9 ? 0xFFFFFFFF : 0x00FFFFFF;
    if (x == 5) return 0x00FEFFFF;
    if (x == 7) return 0x00FFFFFE;
    return (uint32_t)(x + 16 * y + 1);
}

// White is left out, every other colour copied, at the rectangle's place.
TEST_F(DirectDrawTest, KeyedCopyLeavesOutWhite) {
    const int w = 11, h = 3;
    LPDIRECTDRAWSURFACE7 picture = Offscreen(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            RECT one = {x, y, x + 1, y + 1};
            ASSERT_EQ(Fill(picture, &one, Picture(x, y)), DD_OK);
        }
    LPDIRECTDRAWSURFACE7 back = Offscreen(16, 8);
    for (POINT at :
         {POINT{2, 1}, POINT{0, 0}, POINT{5, 5}, POINT{5, 0}, POINT{0, 5}}) {
        ASSERT_EQ(Fill(back, nullptr, kGrey), DD_OK);
        RECT dest = {at.x, at.y, at.x + w, at.y + h};
        ASSERT_EQ(back->Blt(&dest, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT,
                            nullptr),
                  DD_OK);
        TestSurfaceImage image = TestSurfacePixels(back);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                int sx = x - at.x, sy = y - at.y;
                uint32_t expected = kGrey;
                if (sx >= 0 && sx < w && sy >= 0 && sy < h &&
                    (Picture(sx, sy) & 0xFFFFFF) != 0xFFFFFF)
                    expected = Picture(sx, sy);
                ASSERT_EQ(image.At(x, y), expected)
                    << at.x << "," << at.y << ": " << x << "," << y;
            }
    }
    picture->Release();
    back->Release();
}

// Each flip shows the back buffer; a menu drawn over the game takes the
// window's screen memory back, the shown frame staying the front buffer's.
TEST_F(DirectDrawTest, FlipShowsTheBackBuffer) {
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    Chain(&front, &back);
    ShowWindow(window, SW_SHOW);
    for (uint32_t colour : {0x0000FFu, 0x00FF00u, 0xFF0000u}) {
        ASSERT_EQ(Fill(back, nullptr, colour), DD_OK);
        ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
        EXPECT_EQ(TestScreenPixel(1023, 767), colour);
    }
    EXPECT_EQ(TestFlipCount(), 3);

    std::vector<uint32_t> menu((size_t)1024 * 768, 0xFF00FF);
    UserShowPixels(window, PixelMap{menu.data(), 1024, 768, 1024});
    ASSERT_EQ(Fill(back, nullptr, 0xFFFFFF), DD_OK);
    EXPECT_EQ(Count(TestSurfacePixels(front), 0xFF0000), 1024 * 768);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(TestScreenPixel(512, 384), 0xFFFFFFu);
    back->Release();
    front->Release();
}

// A whole fill over the last frame but one (scaled: the buffers swap) or the
// last (at 1:1, drawn in the window's memory), as the game clears each
// frame: what was drawn there since, a fill, a keyed copy and text in
// moving places, is all gone, as on a surface filled whole.
TEST_F(DirectDrawTest, AWholeFillLeavesNothingOfTheFrameBefore) {
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    Chain(&front, &back);
    ShowWindow(window, SW_SHOW);
    SDL_Window* sdl = SDL_GetWindowFromID(TestSdlWindowId(window));
    LPDIRECTDRAWSURFACE7 picture = Offscreen(40, 30);
    RECT dot = {10, 10, 30, 20};
    ASSERT_EQ(Fill(picture, nullptr, 0x123456), DD_OK);
    ASSERT_EQ(Fill(picture, &dot, 0xFFFFFF), DD_OK); // keyed out
    auto draw = [&](LPDIRECTDRAWSURFACE7 on, int frame, DWORD grey) {
        ASSERT_EQ(Fill(on, nullptr, grey), DD_OK);
        RECT box = {frame * 37, 100, frame * 37 + 50, 130};
        ASSERT_EQ(Fill(on, &box, 0x0000FF), DD_OK);
        RECT copy = {500, frame * 23, 540, frame * 23 + 30};
        ASSERT_EQ(on->Blt(&copy, picture, nullptr, DDBLT_KEYSRC, nullptr),
                  DD_OK);
        HDC dc = nullptr;
        ASSERT_EQ(on->GetDC(&dc), DD_OK);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 0, 0));
        TextOutA(dc, 300 + frame * 5, 700 - frame * 60, "Pause", 5);
        ASSERT_EQ(on->ReleaseDC(dc), DD_OK);
    };
    for (SDL_Point size : {SDL_Point{1024, 768}, SDL_Point{1920, 1080}}) {
        SDL_SetWindowFullscreen(sdl, 0);
        SDL_SetWindowSize(sdl, size.x, size.y);
        UserPumpInput();
        for (int frame = 0; frame < 8; ++frame) {
            // Another grey once: nothing of the last fill can be kept.
            const DWORD grey = frame == 5 ? 0x646464 : kGrey;
            draw(back, frame, grey);
            ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
            LPDIRECTDRAWSURFACE7 fresh = Offscreen(1024, 768);
            draw(fresh, frame, grey);
            EXPECT_EQ(TestSurfacePixels(front).pixels,
                      TestSurfacePixels(fresh).pixels)
                << size.x << ", frame " << frame;
            fresh->Release();
        }
    }
    picture->Release();
    back->Release();
    front->Release();
}

// Pixels sent to the X server by the last present.
int Sent() {
    int area = 0;
    for (const SDL_Rect& r : TestSentRects())
        area += r.w * r.h;
    return area;
}

// The largest difference in a channel between the window's picture (wider
// than 4:3) and `frame` scaled to its height, centred on black: bilinear,
// sampled at pixel centres, the edges repeated.
int PictureError(SDL_Window* sdl, const TestSurfaceImage& frame) {
    SDL_Surface* s = SDL_GetWindowSurface(sdl);
    const int w = s->h * 4 / 3, left = (s->w - w) / 2;
    auto at = [&](int x, int y, int shift) {
        return (
            double)(frame.At(std::clamp(x, 0, 1023), std::clamp(y, 0, 767)) >>
                        shift &
                    0xFF);
    };
    double worst = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            for (int shift : {0, 8, 16}) {
                double u = (x - left + 0.5) * 1024 / w - 0.5,
                       v = (y + 0.5) * 768 / s->h - 0.5;
                int x0 = (int)std::floor(u), y0 = (int)std::floor(v);
                double a = u - x0, b = v - y0;
                double want = x < left || x >= left + w
                                  ? 0
                                  : (1 - b) * ((1 - a) * at(x0, y0, shift) +
                                               a * at(x0 + 1, y0, shift)) +
                                        b * ((1 - a) * at(x0, y0 + 1, shift) +
                                             a * at(x0 + 1, y0 + 1, shift));
                uint32_t pixel =
                    ((uint32_t*)((char*)s->pixels + y * s->pitch))[x];
                worst =
                    std::max(worst, std::fabs((pixel >> shift & 0xFF) - want));
            }
    return (int)std::lround(worst);
}

// At 1:1 (drawn in the window's memory) and scaled: a first present, and
// one after a resize, send the whole window; the same frame again sends
// nothing; a change, and its undoing, send little, and the picture is the
// whole new frame scaled (pixman weighs neighbours in 128ths: within 4),
// with no seam where the sent part meets the rest; after a menu, or with the
// window uncovered, all again.
TEST_F(DirectDrawTest, FlipSendsOnlyWhatChanged) {
    LPDIRECTDRAWSURFACE7 front = nullptr, back = nullptr;
    Chain(&front, &back);
    ShowWindow(window, SW_SHOW);
    SDL_Window* sdl = SDL_GetWindowFromID(TestSdlWindowId(window));
    // On tile edges, so that the filter reaches past the tiles that changed.
    const RECT none = {}, change = {128, 704, 192, 736};
    // The frame's change, what happens before its flip, and the least and
    // most share of the window sent.
    enum { kNothing, kMenu, kUncovered };
    const struct Step {
        RECT changed;
        int before;
        double least, most;
    } steps[] = {{none, kNothing, 1, 1},
                 {none, kNothing, 0, 0},
                 {change, kNothing, 1e-6, 0.01},
                 {none, kNothing, 1e-6, 0.01},
                 {none, kMenu, 1, 1},
                 {none, kUncovered, 1, 1}};
    std::vector<uint32_t> menu((size_t)1024 * 768, 0xFF00FF);
    for (SDL_Point size :
         {SDL_Point{1024, 768}, SDL_Point{1920, 1080}, SDL_Point{1280, 720}}) {
        SDL_SetWindowFullscreen(sdl, 0);
        SDL_SetWindowSize(sdl, size.x, size.y);
        UserPumpInput(); // the resize's own events, before the steps'
        const double area = size.x * size.y;
        for (Step step : steps) {
            // Stripes 1 to 6 pixels wide, where a seam or a nearest
            // neighbour would show.
            ASSERT_EQ(Fill(back, nullptr, kGrey), DD_OK);
            for (int x = 0; x < 1024; x += 7) {
                RECT stripe = {x, 0, std::min(1024, x + 1 + x % 6), 768};
                ASSERT_EQ(Fill(back, &stripe, (DWORD)x * 0x30507), DD_OK);
            }
            // An empty rectangle is refused: nothing changes.
            if (step.changed.right > step.changed.left) {
                ASSERT_EQ(Fill(back, &step.changed, 0x0000FF), DD_OK);
            }
            if (step.before == kMenu)
                UserShowPixels(window, PixelMap{menu.data(), 1024, 768, 1024});
            if (step.before == kUncovered) {
                PushWindowEvent(SDL_WINDOWEVENT_EXPOSED, SDL_GetWindowID(sdl));
                UserPumpInput();
            }
            ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
            EXPECT_GE(Sent(), step.least * area) << size.x;
            EXPECT_LE(Sent(), step.most * area) << size.x;
            // Scaled, the whole new frame (the rectangles' coverage is the
            // damage test's).
            if (step.most == 0.01 && size.x > 1024) {
                EXPECT_LE(PictureError(sdl, TestSurfacePixels(front)), 4);
            }
        }
    }
    // Too small to show any of the frame: black, sent whole.
    SDL_SetWindowSize(sdl, 1, 3);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(Sent(), 3);
    back->Release();
    front->Release();
}

// However spread a change, the rectangles found hold every changed pixel
// (copied over the old frame, they make the new one), and are few enough to
// send: a tile or two, then bands, then pairs of them.
TEST(DamageTest, RectanglesHoldEveryChangeAndAreFew) {
    std::vector<uint32_t> now((size_t)1024 * 768), before = now;
    std::vector<SDL_Rect> rects;
    for (int dots : {1, 40, 3000}) {
        for (int i = 0; i < dots; ++i)
            now[(size_t)(i * 7919 % 768) * 1024 + i * 104729 % 1024] = 1;
        std::vector<uint32_t> copy = before;
        UserFindDamage({now.data(), 1024, 768, 1024},
                       {before.data(), 1024, 768, 1024}, rects);
        UserCopyRects({now.data(), 1024, 768, 1024},
                      {copy.data(), 1024, 768, 1024}, rects);
        EXPECT_LE(rects.size(), (size_t)kDamageMaxRects);
        EXPECT_EQ(copy, now) << dots;
    }
}

// Drawing calls as the game makes them: the whole fill, a letter, the HUD.
UserDrawOp Fill(int x, int y, int w, int h, uint32_t pixel) {
    UserDrawOp op;
    op.kind = UserDrawOp::Fill;
    op.box = {x, y, w, h};
    op.value = pixel;
    return op;
}
UserDrawOp Text(const char* text, int x, int y, int w = 34, int h = 44) {
    UserDrawOp op;
    op.kind = UserDrawOp::Text;
    op.box = {x + 2, y + 8, w, h};
    op.source = 7; // the font
    op.value = 0xFF0000;
    op.x = x, op.y = y;
    op.text = text;
    return op;
}

// What two frames' drawings tell apart: nothing when the calls are the same;
// a letter one pixel lower, one box over both places; a letter gone from
// among others, or one new, its own box; a letter put back at the top, its
// two far-apart boxes; other calls (GDI's fills, copies) always; a drawing
// not begun by a whole fill, nothing known.
TEST(DamageTest, DrawingsDifferInTheBoxesOfTheCallsThatDiffer) {
    const UserDrawOp grey = Fill(0, 0, 1024, 768, 0xC8C8C8),
                     a = Text("a", 100, 50), b = Text("b", 300, 50),
                     c = Text("c", 500, 400), hud = Text("Count:3", 100, 718),
                     hud2 = Text("Count:4", 100, 718);
    UserDrawOp other = Fill(10, 10, 5, 5, 0);
    other.kind = UserDrawOp::Other;
    const struct Case {
        const char* what;
        std::vector<UserDrawOp> before, now;
        std::vector<SDL_Rect> boxes;
    } cases[] = {
        {"the same", {grey, a, b, hud}, {grey, a, b, hud}, {}},
        {"a letter lower",
         {grey, a, b, hud},
         {grey, Text("a", 100, 51), b, hud},
         {{102, 58, 34, 45}}},
        {"the HUD's clock",
         {grey, a, hud},
         {grey, a, hud2},
         {{102, 726, 34, 44}}},
        {"a letter gone", {grey, a, b, c, hud}, {grey, a, c, hud}, {b.box}},
        {"a letter new", {grey, a, c, hud}, {grey, a, b, c, hud}, {b.box}},
        {"the table emptied",
         {grey, a, b, c, hud},
         {grey, hud},
         {a.box, b.box, c.box}},
        {"a letter back at the top",
         {grey, Text("a", 100, 660), hud},
         {grey, Text("a", 100, 0), hud},
         {{102, 668, 34, 44}, {102, 8, 34, 44}}},
        {"another background",
         {grey, a},
         {Fill(0, 0, 1024, 768, 0), a},
         {{0, 0, 1024, 768}}},
        {"other calls", {grey, other}, {grey, other}, {other.box}},
    };
    std::vector<SDL_Rect> rects;
    for (const Case& c : cases) {
        UserDrawing before{true, c.before}, now{true, c.now};
        ASSERT_TRUE(UserDrawingDamage(now, before, rects)) << c.what;
        // Each box the case expects, in any order, and no other.
        ASSERT_EQ(rects.size(), c.boxes.size()) << c.what;
        for (const SDL_Rect& want : c.boxes)
            EXPECT_TRUE(std::any_of(
                rects.begin(), rects.end(),
                [&](const SDL_Rect& r) { return SDL_RectEquals(&r, &want); }))
                << c.what << ": " << want.x << "," << want.y;
    }
    UserDrawing unknown{false, {a}}, known{true, {grey, a}};
    EXPECT_FALSE(UserDrawingDamage(unknown, known, rects));
    EXPECT_FALSE(UserDrawingDamage(known, unknown, rects));
}

// A box shrinks to the pixels in it that changed, and goes when none did.
TEST(DamageTest, BoxesShrinkToThePixelsThatChanged) {
    std::vector<uint32_t> now((size_t)64 * 48, 5), before = now;
    now[(size_t)20 * 64 + 30] = 6; // one pixel
    now[(size_t)23 * 64 + 12] = 6; // and another, below and to its left
    std::vector<SDL_Rect> rects = {{10, 10, 40, 30}, {0, 0, 8, 8}};
    UserTrimDamage({now.data(), 64, 48, 64}, {before.data(), 64, 48, 64},
                   rects);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].x, 12);
    EXPECT_EQ(rects[0].y, 20);
    EXPECT_EQ(rects[0].w, 19);
    EXPECT_EQ(rects[0].h, 4);
}

TEST_F(DirectDrawTest, ZeroSizedAndOversizedSurfacesAreRefused) {
    struct Case {
        DWORD width, height;
        HRESULT result;
    } cases[] = {{0, 37, DDERR_INVALIDPARAMS},
                 {1100, 0, DDERR_INVALIDPARAMS},
                 {16385, 1, DDERR_TOOBIGWIDTH},
                 {1, 16385, DDERR_TOOBIGHEIGHT},
                 {16384, 1, DD_OK},
                 {1, 16384, DD_OK}};
    for (const Case& c : cases) {
        HRESULT hr = E_FAIL;
        LPDIRECTDRAWSURFACE7 surface = Offscreen(c.width, c.height, &hr);
        EXPECT_EQ(hr, c.result) << c.width << " by " << c.height;
        EXPECT_EQ(surface != nullptr, c.result == DD_OK);
        if (surface) surface->Release();
    }
}

} // namespace
