// Start-up in process: WinMain from its first step to the first frame
// shown, with the four data files in the working folder. Escape is held
// from the start, so the first frame also posts the quit and the session
// ends there (the shutdown is not timed).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "app/app.h"
#include "bench_session.h"
#include "testing/seams.h"

namespace {

uint64_t firstFrameNs;
bool firstStartTimed;

void NoteFrame(const uint32_t*, int) {
    if (!firstFrameNs) firstFrameNs = BenchNowNs();
}

void BM_StartUpToFirstFrame(benchmark::State& state) {
    BenchInDataDir here;
    if (!here.entered()) {
        state.SkipWithError("no data folder");
        return;
    }
    char commandLine[] = "";
    double first = 0;
    for (auto _ : state) {
        BenchResetProcess();
        TestSetPresentHook(NoteFrame);
        TestSetKeyState(VK_ESCAPE, true);
        firstFrameNs = 0;
        uint64_t start = BenchNowNs();
        int code = WinMain(BenchModule(), nullptr, commandLine, SW_SHOWDEFAULT);
        if (code != 0 || !firstFrameNs || !TestMessageBoxes().empty()) {
            for (const TestMessageBox& box : TestMessageBoxes())
                std::fprintf(stderr, "qel-bench: %s: %s\n", box.caption.c_str(),
                             box.text.c_str());
            state.SkipWithError("the game did not start");
            break;
        }
        double seconds = double(firstFrameNs - start) / 1e9;
        state.SetIterationTime(seconds);
        // The process's first start-up also brings up SDL, fontconfig and
        // the fonts' files: reported on its own.
        if (!firstStartTimed) {
            firstStartTimed = true;
            first = seconds * 1000;
        }
    }
    BenchResetProcess();
    if (first > 0) state.counters["first_ms"] = first;
}
BENCHMARK(BM_StartUpToFirstFrame)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace
