// DrawSurfaceTextFont with a HUD line: warm (every glyph cached in the
// font) and cold (a font just made, so every glyph is rasterised).
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_session.h"
#include "display/display.h"
#include "display/surface_text.h"
#include "game/hud.h"

namespace {

// The status line as a level-255 game shows it: GBK text and numbers.
std::string StatusLine() {
    char line[HUD_LINE_SIZE];
    FormatStatusLine(line, 65280, 512, 337, 255, 255, -1500, 16, 123456789);
    return line;
}

// The face the game asks for the HUD: 宋体 (GBK bytes), 20 pixels.
HFONT MakeHudFont() {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = 20;
    std::memcpy(lf.lfFaceName, "\xcb\xce\xcc\xe5", 5);
    return CreateFontIndirectA(&lf);
}

void BM_DrawHudLineWarm(benchmark::State& state) {
    if (!BenchOpenDisplay()) {
        state.SkipWithError("the display could not be set up");
        return;
    }
    std::string line = StatusLine();
    DrawSurfaceTextFont(lpDDback, line, 100, 718, RGB(0, 0, 0), TRANSPARENT,
                        hHudFont);
    for (auto _ : state)
        DrawSurfaceTextFont(lpDDback, line, 100, 718, RGB(0, 0, 0), TRANSPARENT,
                            hHudFont);
    state.counters["bytes"] = (double)line.size();
    BenchCloseDisplay();
}
BENCHMARK(BM_DrawHudLineWarm)->Unit(benchmark::kMicrosecond);

// Making and deleting the font is left out of the time.
void BM_DrawHudLineCold(benchmark::State& state) {
    if (!BenchOpenDisplay()) {
        state.SkipWithError("the display could not be set up");
        return;
    }
    std::string line = StatusLine();
    for (auto _ : state) {
        state.PauseTiming();
        HFONT font = MakeHudFont();
        state.ResumeTiming();
        DrawSurfaceTextFont(lpDDback, line, 100, 718, RGB(0, 0, 0), TRANSPARENT,
                            font);
        state.PauseTiming();
        // The surface's DC is gone; the font is no longer selected anywhere.
        DeleteObject(font);
        state.ResumeTiming();
    }
    BenchCloseDisplay();
}
BENCHMARK(BM_DrawHudLineCold)->Unit(benchmark::kMicrosecond);

} // namespace
