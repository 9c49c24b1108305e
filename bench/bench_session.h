// What the benchmarks share: the four data files (written once per run by
// the asset generator), a new process's state between runs, and the game's
// display set up as InitDirectX leaves it.
#ifndef QEL_TESTS_BENCH_BENCH_SESSION_H
#define QEL_TESTS_BENCH_BENCH_SESSION_H

#include <windows.h>

#include <cstdint>
#include <string>

// The folder holding finger.jpg, music.mp3 and the two WAVs; made on first
// use, removed at exit.
const std::string& BenchDataDir();

// The data folder as the working directory for the object's life (the game
// reads its files by bare name), and the one before it back afterwards.
// entered() is false, having said why, when the folder could not be entered.
class BenchInDataDir {
  public:
    BenchInDataDir();
    ~BenchInDataDir();
    BenchInDataDir(const BenchInDataDir&) = delete;
    BenchInDataDir& operator=(const BenchInDataDir&) = delete;
    bool entered() const { return !previous.empty(); }

  private:
    std::string previous;
};

// The game's resources as the process's module.
HINSTANCE BenchModule();

// Back to a new process's state: windows, queue, clock, DirectDraw, audio
// records, the game's globals. Message boxes stay recorded, the screen is
// not copied and presenting is not paced (the benchmark's own settings).
void BenchResetProcess();

// The game as its own start-up (InitApplication) leaves it, in the data
// folder: the display set up, the music playing, the window shown. Open
// returns false (and says why) when the start-up fails; Close releases
// everything as ReleaseAll does and leaves the folder.
bool BenchOpenDisplay();
void BenchCloseDisplay();

// A full table of `count` live letters at `level`, spread over the screen
// from a fixed seed, and the game running.
void BenchFillLetters(int level, int count);

// CPU time of this thread, and the steady clock, in nanoseconds.
uint64_t BenchThreadCpuNs();
uint64_t BenchNowNs();

// The thread CPU time of one colour fill of the back buffer and flip, as
// the game's frame does them: the floor every frame figure is set against.
double BenchFillAndPresentNs(int passes);

#endif
