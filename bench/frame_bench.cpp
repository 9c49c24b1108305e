// GameFrame with a full letter table and the whole HUD, against the floor:
// one colour fill of the 1024 by 768 by 32 back buffer and its flip, which
// every frame does whatever it draws.
#include <benchmark/benchmark.h>

#include <ddraw.h>

#include <ctime>

#include "bench_session.h"
#include "display/display.h"
#include "game/frame.h"
#include "game/letters.h"
#include "testing/seams.h"

namespace {

// The floor: fill and present, as the game's frame does them.
void BM_FillAndPresent(benchmark::State& state) {
    if (!BenchOpenDisplay()) {
        state.SkipWithError("the display could not be set up");
        return;
    }
    RECT rect = {0, 0, 1024, 768};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x00C8C8C8;
    for (auto _ : state) {
        lpDDback->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT,
                      &fx);
        lpDDprimary->Flip(nullptr, DDFLIP_WAIT);
    }
    BenchCloseDisplay();
}
BENCHMARK(BM_FillAndPresent)->Unit(benchmark::kMicrosecond);

// Letters that reach the bottom go back to the top, so that the table stays
// full: the expiry and the spawn that would refill it are left out.
inline void KeepTableFull(int count) {
    for (int i = 0; i < count; ++i)
        if (letters[i].y >= 660) letters[i].y = 1;
}

// One pass of the game: at level `range(0)` with that many live letters,
// running (range(1) == 1) or paused. The tick moves on 1 ms a pass, so at
// level 101 and above every letter steps in every pass.
void BM_GameFrame(benchmark::State& state) {
    const int level = (int)state.range(0);
    const bool running = state.range(1) != 0;
    if (!BenchOpenDisplay()) {
        state.SkipWithError("the display could not be set up");
        return;
    }
    BenchFillLetters(level, level);
    game.running = running;
    DWORD tick = 100000;
    TestSetTickCount(tick);
    GameFrame(); // the glyphs of the HUD and the letters are cached now

    double floorBefore = BenchFillAndPresentNs(200);
    uint64_t cpu = BenchThreadCpuNs();
    for (auto _ : state) {
        TestSetTickCount(++tick);
        GameFrame();
        KeepTableFull(level);
    }
    double frameNs = double(BenchThreadCpuNs() - cpu) / state.iterations();
    double floorNs = (floorBefore + BenchFillAndPresentNs(200)) / 2;

    state.counters["live"] = game.liveCount;
    state.counters["floor_us"] = floorNs / 1000;
    state.counters["x_floor"] = frameNs / floorNs;
    BenchCloseDisplay();
}
BENCHMARK(BM_GameFrame)
    ->ArgNames({"level", "running"})
    ->Args({1, 1})
    ->Args({50, 1})
    ->Args({255, 1})
    ->Args({255, 0})
    ->Unit(benchmark::kMicrosecond);

// The same pass as a player's game runs it: once every 16.7 ms, asleep in
// between, so that each pass finds the caches as other work left them. The
// CPU of the passes alone (the sleeps take none).
void BM_GameFrameEvery16ms(benchmark::State& state) {
    const int level = (int)state.range(0);
    if (!BenchOpenDisplay()) {
        state.SkipWithError("the display could not be set up");
        return;
    }
    BenchFillLetters(level, level);
    game.running = state.range(1) != 0;
    DWORD tick = 100000;
    uint64_t next = BenchNowNs();
    for (auto _ : state) {
        TestSetTickCount(++tick);
        GameFrame();
        KeepTableFull(level);
        state.PauseTiming();
        next += 16666667;
        uint64_t now = BenchNowNs();
        if (next > now) {
            timespec wait = {(time_t)((next - now) / 1000000000u),
                             (long)((next - now) % 1000000000u)};
            nanosleep(&wait, nullptr);
        }
        state.ResumeTiming();
    }
    BenchCloseDisplay();
}
BENCHMARK(BM_GameFrameEvery16ms)
    ->ArgNames({"level", "running"})
    ->Args({255, 0})
    ->Args({255, 1})
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

} // namespace
