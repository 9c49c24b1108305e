// The DirectDraw stand-in: colour fills, colour-keyed copies, the flip and
// the surfaces refused; and the damage a present sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "ddraw_fixture.h"
#include "scaled_whole.h"
#include "sdl_events.h"
#include "trace/trace.h"
#include "user/damage.h"

namespace {

const uint32_t kGrey = 0xC8C8C8;
const HRESULT kRefused = DDERR_INVALIDRECT;

// White (once with the unused top byte set) on diagonals, near-whites as
// JPEG leaves them, the rest all different; rows of 4 + 4 + 3 pixels.
uint32_t Picture(int x, int y) {
    if ((x + y) % 3 == 0) return x == 4 || x == 9 ? 0xFFFFFFFF : 0x00FFFFFF;
    if (x == 5 || x == 7) return x == 5 ? 0x00FEFFFF : 0x00FFFFFE;
    return (uint32_t)(x + 16 * y + 1);
}

// A fill, and a keyed copy leaving out white, draw inside their rectangle
// only, the right and bottom edges outside it. With no clipper, one not
// wholly inside the surface, or empty, is refused and nothing drawn (looked
// at before the copy's size).
TEST_F(DirectDrawTest, BltDrawsInsideItsRectangleOrRefusesIt) {
    const int w = 11, h = 3;
    LPDIRECTDRAWSURFACE7 picture = Offscreen(w, h), surface = Offscreen(16, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            RECT one = {x, y, x + 1, y + 1};
            ASSERT_EQ(Fill(picture, &one, Picture(x, y)), DD_OK);
        }
    const std::pair<RECT, HRESULT> cases[] = {
        {{0, 0, 11, 3}, DD_OK},     {{2, 1, 13, 4}, DD_OK},
        {{5, 5, 16, 8}, DD_OK},     {{-1, 1, 10, 4}, kRefused},
        {{2, -1, 13, 2}, kRefused}, {{6, 1, 17, 4}, kRefused},
        {{2, 6, 13, 9}, kRefused},  {{2, 1, 2, 4}, kRefused},
        {{2, 1, 13, 1}, kRefused}};
    for (auto row : cases)
        for (bool copy : {false, true}) {
            RECT& c = row.first;
            SCOPED_TRACE(TraceRect(&c) + (copy ? " copied" : " filled"));
            ASSERT_EQ(Fill(surface, nullptr, kGrey), DD_OK);
            EXPECT_EQ(
                copy ? surface->Blt(&c, picture, nullptr, DDBLT_KEYSRC, nullptr)
                     : Fill(surface, &c, 0x0000FF),
                row.second);
            TestSurfaceImage image = TestSurfacePixels(surface);
            int wrong = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 16; ++x) {
                    int sx = x - c.left, sy = y - c.top;
                    uint32_t want = kGrey, pixel = Picture(sx, sy);
                    if (row.second == DD_OK && sx >= 0 && sx < w && sy >= 0 &&
                        sy < h && !(copy && (pixel & 0xFFFFFF) == 0xFFFFFF))
                        want = copy ? pixel : 0x0000FF;
                    wrong += image.At(x, y) != want;
                }
            EXPECT_EQ(wrong, 0);
        }
    picture->Release();
    surface->Release();
}

// A whole fill over the last frame but one (scaled: the buffers swap) or the
// last (at 1:1, drawn in the window's memory), as the game clears each
// frame: what was drawn there since, a fill, a keyed copy and text in
// moving places, is all gone, as on a surface filled whole.
TEST_F(DirectDrawTest, AWholeFillLeavesNothingOfTheFrameBefore) {
    Chain();
    LPDIRECTDRAWSURFACE7 picture = Offscreen(40, 30),
                         fresh = Offscreen(1024, 768);
    RECT dot = {10, 10, 30, 20};
    ASSERT_EQ(Fill(picture, nullptr, 0x123456), DD_OK);
    ASSERT_EQ(Fill(picture, &dot, 0xFFFFFF), DD_OK); // keyed out
    auto draw = [&](LPDIRECTDRAWSURFACE7 on, int frame, DWORD grey) {
        RECT box = {frame * 37, 100, frame * 37 + 50, 130},
             copy = {500, frame * 23, 540, frame * 23 + 30};
        ASSERT_EQ(Fill(on, nullptr, grey), DD_OK);
        ASSERT_EQ(Fill(on, &box, 0x0000FF), DD_OK);
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
        Resize(size.x, size.y);
        for (int frame = 0; frame < 8; ++frame) {
            // Another grey once: nothing of the last fill can be kept.
            const DWORD grey = frame == 5 ? 0x646464 : kGrey;
            draw(back, frame, grey);
            ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
            draw(fresh, frame, grey);
            EXPECT_EQ(TestSurfacePixels(front).pixels,
                      TestSurfacePixels(fresh).pixels)
                << size.x << ", frame " << frame;
        }
    }
    picture->Release();
    fresh->Release();
}

// At 1:1 (drawn in the window's memory) and scaled, step by step: F a first
// present after a resize sends the whole window; S the same frame again
// nothing; C a change, and U its undoing, little (more than nothing); M
// after a menu, or X with the window uncovered, all again. The picture is
// always the whole new frame scaled, with no seam where the sent part
// meets the rest.
TEST_F(DirectDrawTest, FlipSendsOnlyWhatChanged) {
    Chain();
    std::vector<uint32_t> menu((size_t)1024 * 768, 0xFF00FF);
    // On tile edges, so that the filter reaches past the tiles that changed.
    RECT change = {128, 704, 192, 736};
    for (SDL_Point size :
         {SDL_Point{1024, 768}, SDL_Point{1920, 1080}, SDL_Point{1280, 720}}) {
        SDL_Window* sdl = Resize(size.x, size.y);
        for (char step : std::string("FSCUMX")) {
            // A menu drawn over the game takes the window's screen memory
            // back; the shown frame stays the front buffer's, whatever is
            // drawn on the back next: stripes 1 to 6 pixels wide, where a
            // seam or a nearest neighbour would show.
            const std::vector<uint32_t> shown = TestSurfacePixels(front).pixels;
            if (step == 'M')
                UserShowPixels(window, PixelMap{menu.data(), 1024, 768, 1024});
            ASSERT_EQ(Fill(back, nullptr, kGrey), DD_OK);
            for (int x = 0; x < 1024; x += 7) {
                RECT stripe = {x, 0, std::min(1024, x + 1 + x % 6), 768};
                ASSERT_EQ(Fill(back, &stripe, (DWORD)x * 0x30507), DD_OK);
            }
            if (step == 'C') {
                ASSERT_EQ(Fill(back, &change, 0x0000FF), DD_OK);
            }
            if (step == 'M') {
                EXPECT_EQ(TestSurfacePixels(front).pixels, shown) << size.x;
            }
            if (step == 'X')
                PushWindowEvent(SDL_WINDOWEVENT_EXPOSED, SDL_GetWindowID(sdl)),
                    UserPumpInput();
            ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
            const double sent = SentShare(sdl);
            if (step == 'C' || step == 'U')
                EXPECT_TRUE(sent > 0 && sent <= 0.01) << size.x << step << sent;
            else
                EXPECT_EQ(sent, step == 'S' ? 0 : 1) << size.x << step;
            SDL_Surface* s = SDL_GetWindowSurface(sdl);
            ASSERT_EQ(s->pitch, s->w * 4);
            std::vector<uint32_t> want =
                ScaledWhole(TestSurfacePixels(front).pixels, s->w, s->h);
            EXPECT_EQ(PixelsWrong((uint32_t*)s->pixels, want), 0u)
                << size.x << step;
        }
    }
    // Too small to show any of the frame: black, sent whole, the surface
    // being new even before the pump tells of the resize.
    SDL_Window* sdl = SDL_GetWindowFromID(TestSdlWindowId(window));
    SDL_SetWindowSize(sdl, 1, 3);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(SentShare(sdl), 1);
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

// Rectangles as x, y, w, h, in order: to compare as sets.
std::vector<std::array<int, 4>> Boxes(const std::vector<SDL_Rect>& rects) {
    std::vector<std::array<int, 4>> boxes;
    for (const SDL_Rect& r : rects)
        boxes.push_back({r.x, r.y, r.w, r.h});
    std::sort(boxes.begin(), boxes.end());
    return boxes;
}

// Drawing calls as the game makes them: a fill, a letter or the HUD in red.
UserDrawOp Fill(int x, int y, int w, int h, uint32_t pixel) {
    return {UserDrawOp::Fill, {x, y, w, h}, pixel, 0, 0, 0, 0, ""};
}
UserDrawOp Text(const char* text, int x, int y) {
    return {
        UserDrawOp::Text, {x + 2, y + 8, 34, 44}, 0xFF0000, 7, 0, x, y, text};
}

// What two frames' drawings tell apart: nothing when the calls are the same;
// a letter one pixel lower, one box over both places; a letter gone from
// among others, or one new, its own box; a letter put back at the top, its
// two far-apart boxes; other calls (GDI's fills, copies) always; a drawing
// not begun by a whole fill, nothing known.
TEST(DamageTest, DrawingsDifferInTheBoxesOfTheCallsThatDiffer) {
    const UserDrawOp grey = Fill(0, 0, 1024, 768, 0xC8C8C8),
                     black = Fill(0, 0, 1024, 768, 0), a = Text("a", 100, 50),
                     lower = Text("a", 100, 51), low = Text("a", 100, 660),
                     top = Text("a", 100, 0), b = Text("b", 300, 50),
                     c = Text("c", 500, 400), hud = Text("Count:3", 100, 718),
                     hud2 = Text("Count:4", 100, 718),
                     other = {
                         UserDrawOp::Other, {10, 10, 5, 5}, 0, 0, 0, 0, 0, ""};
    const struct Case {
        const char* what;
        std::vector<UserDrawOp> before, now;
        std::vector<SDL_Rect> boxes;
    } cases[] = {
        {"the same", {grey, a, b, hud}, {grey, a, b, hud}, {}},
        {"a letter lower", {grey, a, b}, {grey, lower, b}, {{102, 58, 34, 45}}},
        {"the HUD's clock", {grey, a, hud}, {grey, a, hud2}, {hud.box}},
        {"a letter gone", {grey, a, b, c, hud}, {grey, a, c, hud}, {b.box}},
        {"a letter new", {grey, a, c, hud}, {grey, a, b, c, hud}, {b.box}},
        {"the table emptied", {grey, a, b, c}, {grey}, {a.box, b.box, c.box}},
        {"a letter back on top", {grey, low}, {grey, top}, {low.box, top.box}},
        {"another background", {grey, a}, {black, a}, {black.box}},
        {"other calls", {grey, other}, {grey, other}, {other.box}},
    };
    std::vector<SDL_Rect> rects;
    for (const Case& c : cases) {
        UserDrawing before{true, c.before}, now{true, c.now};
        ASSERT_TRUE(UserDrawingDamage(now, before, rects)) << c.what;
        EXPECT_EQ(Boxes(rects), Boxes(c.boxes)) << c.what;
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
    EXPECT_EQ(Boxes(rects), Boxes({{12, 20, 19, 4}}));
}

TEST_F(DirectDrawTest, ZeroSizedAndOversizedSurfacesAreRefused) {
    const std::tuple<DWORD, DWORD, HRESULT> cases[] = {
        {0, 37, DDERR_INVALIDPARAMS},
        {1100, 0, DDERR_INVALIDPARAMS},
        {16385, 1, DDERR_TOOBIGWIDTH},
        {1, 16385, DDERR_TOOBIGHEIGHT},
        {16384, 1, DD_OK},
        {1, 16384, DD_OK}};
    for (auto [width, height, result] : cases) {
        HRESULT hr = E_FAIL;
        LPDIRECTDRAWSURFACE7 surface = Offscreen(width, height, &hr);
        EXPECT_EQ(hr, result) << width << " by " << height;
        EXPECT_EQ(surface != nullptr, result == DD_OK);
        if (surface) surface->Release();
    }
}

} // namespace
