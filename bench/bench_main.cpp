// qel-bench: Google Benchmark over the game in process. Runs headless
// (SDL's offscreen video and dummy audio) unless SDL_VIDEODRIVER and
// SDL_AUDIODRIVER say otherwise; message boxes are recorded, never shown.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench_session.h"
#include "testing/seams.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::AddCustomContext("SDL_VIDEODRIVER", getenv("SDL_VIDEODRIVER"));
    benchmark::AddCustomContext("SDL_AUDIODRIVER", getenv("SDL_AUDIODRIVER"));

    // As the tests do, but presenting as the game does: no screen copy,
    // and pacing only where a benchmark asks for it.
    TestRecordMessageBoxes(true);
    TestCaptureScreen(false);
    TestSetPresentPacing(false);
    BenchDataDir();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
