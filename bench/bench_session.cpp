// The benchmarks' shared set-up.
#include "bench_session.h"

#include <ddraw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "app/app.h"
#include "audio/music.h"
#include "audio/sound_effects.h"
#include "display/display.h"
#include "display/surface_text.h"
#include "game_state.h"
#include "testing/seams.h"
#include "resource_data.h"
#include "user/resource_private.h"

namespace {

std::string dataDir;
std::unique_ptr<BenchInDataDir> displayDir;

void RemoveDataDir() {
    if (dataDir.empty()) return;
    std::string command = "rm -rf '" + dataDir + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "qel-bench: could not remove %s\n",
                     dataDir.c_str());
}

} // namespace

const std::string& BenchDataDir() {
    if (!dataDir.empty()) return dataDir;
    char name[] = "/tmp/qel-bench.XXXXXX";
    if (!mkdtemp(name)) {
        std::perror("qel-bench: mkdtemp");
        std::exit(1);
    }
    dataDir = name;
    std::atexit(RemoveDataDir);
    std::string command =
        std::string("'") + QEL_ASSETS_TOOL + "' '" + dataDir + "' >/dev/null";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "qel-bench: %s failed\n", QEL_ASSETS_TOOL);
        std::exit(1);
    }
    return dataDir;
}

BenchInDataDir::BenchInDataDir() {
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)) || chdir(BenchDataDir().c_str()) != 0)
        std::perror("qel-bench: entering the data folder");
    else
        previous = cwd;
}

BenchInDataDir::~BenchInDataDir() {
    if (entered() && chdir(previous.c_str()) != 0)
        std::perror("qel-bench: leaving the data folder");
}

HINSTANCE BenchModule() {
    static HINSTANCE module =
        UserCreateModule(qelResourceData, qelResourceSize);
    return module;
}

void BenchResetProcess() {
    TestResetUser();
    TestResetDirectDraw();
    TestResetAudio();
    TestSetPresentPacing(false);
    ResetGame();
    musicPlayer = MusicPlayer{};
    lpDD = nullptr;
    lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
    nPictureWidth = nPictureHeight = 0;
    hLetterFont = hHudFont = nullptr;
    hMainWindow = nullptr;
    hitSound = levelUpSound = -1;
}

bool BenchOpenDisplay() {
    BenchResetProcess();
    displayDir.reset(new BenchInDataDir);
    if (!displayDir->entered()) return false;
    // The game's own start-up, with the strings WinMain would load.
    std::strcpy(szAppClass, "QelBench");
    std::strcpy(szAppTitle, "Qel");
    if (!RegisterMainWindowClass(BenchModule()) ||
        !InitApplication(BenchModule(), SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "qel-bench: the start-up failed\n");
        for (const TestMessageBox& box : TestMessageBoxes())
            std::fprintf(stderr, "qel-bench: %s: %s\n", box.caption.c_str(),
                         box.text.c_str());
        return false;
    }
    return true;
}

void BenchCloseDisplay() {
    ReleaseAll();
    BenchResetProcess();
    displayDir.reset();
}

void BenchFillLetters(int level, int count) {
    srand(12345);
    for (LetterSlot& slot : letters)
        slot.alive = false;
    game.level = level;
    for (int i = 0; i < count; ++i) {
        LetterSlot& slot = letters[i];
        slot.text[0] = (char)('a' + i % 26);
        slot.text[1] = 0;
        slot.spawnLevel = level;
        slot.width = 20 * level;
        slot.height = 20;
        slot.x = 50 + rand() % 924;
        slot.y = 1 + (i * 661 / (count > 1 ? count : 1)) % 660;
        slot.alive = true;
    }
    game.liveCount = count;
    game.highWater = count;
    game.score = 0;
    game.running = true;
}

uint64_t BenchThreadCpuNs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec;
}

uint64_t BenchNowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec;
}

double BenchFillAndPresentNs(int passes) {
    RECT rect = {0, 0, 1024, 768};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x00C8C8C8;
    uint64_t start = BenchThreadCpuNs();
    for (int i = 0; i < passes; ++i) {
        lpDDback->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT,
                      &fx);
        lpDDprimary->Flip(nullptr, DDFLIP_WAIT);
    }
    return double(BenchThreadCpuNs() - start) / passes;
}
