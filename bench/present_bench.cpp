// What a pass costs as the player's screen grows: the game's whole pass
// (its full redraw and the present) with the window at 1024 by 768, where
// the frame is drawn in the window's own memory, and at larger sizes, where
// the present scales it. Paused, only the HUD's clock changes; running at
// level 30 or 255 with a full table, the letters move too.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <utility>
#include <vector>

#include "app/app.h"
#include "bench_session.h"
#include "display/display.h"
#include "game/frame.h"
#include "game/letters.h"
#include "testing/seams.h"
#include "user/damage.h"

namespace {

void BM_Present(benchmark::State& state) {
    const int width = (int)state.range(0), height = (int)state.range(1);
    const int level = (int)state.range(2);
    const bool running = level != 0;
    if (!BenchOpenDisplay()) {
        state.SkipWithError("the display could not be set up");
        return;
    }
    SDL_Window* sdl = SDL_GetWindowFromID(TestSdlWindowId(hMainWindow));
    SDL_SetWindowFullscreen(sdl, 0);
    SDL_SetWindowSize(sdl, width, height);
    BenchFillLetters(running ? level : 1, level);
    game.running = running;
    DWORD tick = 100000;
    TestSetTickCount(tick);
    GameFrame(); // glyphs cached, the window's new surface sent whole
    double sent = 0, rects = 0;
    for (auto _ : state) {
        tick += 17;
        TestSetTickCount(tick);
        GameFrame();
        for (const SDL_Rect& r : TestSentRects())
            sent += (double)r.w * r.h;
        rects += (double)TestSentRects().size();
        for (int i = 0; i < 255; ++i)
            if (letters[i].y >= 660) letters[i].y = 1;
    }
    // The share of the window's pixels sent to the X server a pass.
    state.counters["sent"] =
        sent / ((double)width * height * (double)state.iterations());
    // Requests to the X server a pass.
    state.counters["rects"] = rects / (double)state.iterations();
    BenchCloseDisplay();
}
BENCHMARK(BM_Present)
    ->ArgNames({"w", "h", "level"})
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (int level : {0, 30, 255})
            for (auto size : {std::pair{1024, 768}, std::pair{1920, 1080},
                              std::pair{3840, 2160}})
                b->Args({size.first, size.second, level});
    })
    ->Unit(benchmark::kMicrosecond);

// Finding what changed between two 1024 by 768 frames: none, a line of
// text (the HUD's clock), or a dot in each of `range(0)` tiles spread over
// the frame (letters in motion).
void BM_FindDamage(benchmark::State& state) {
    const int dots = (int)state.range(0);
    std::vector<uint32_t> a((size_t)1024 * 768, 0xC8C8C8), b = a;
    PixelMap now = {a.data(), 1024, 768, 1024},
             before = {b.data(), 1024, 768, 1024};
    for (int i = 0; i < dots; ++i)
        a[(size_t)(i * 7919 % 768) * 1024 + (size_t)(i * 104729 % 1024)] = 0;
    if (dots < 0)
        for (int x = 300; x < 700; ++x)
            a[(size_t)720 * 1024 + (size_t)x] = 0;
    std::vector<SDL_Rect> rects;
    for (auto _ : state) {
        UserFindDamage(now, before, rects);
        benchmark::DoNotOptimize(rects.data());
    }
    state.counters["rects"] = (double)rects.size();
}
BENCHMARK(BM_FindDamage)
    ->ArgName("dots")
    ->Arg(0)
    ->Arg(-1)
    ->Arg(300)
    ->Arg(3000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
