// How often the sound is fed, in process: the game's own WinMain on its
// pause screen, paced by the refresh, with the music playing,
//   - paused: the music alone;
//   - effects: the hit sound played every half second;
//   - after: the last three of five quiet seconds after the last sound.
// Counted per phase: the mixing passes of each audio device a second, and,
// when QEL_SOUND_SERVER_PID names the PulseAudio server, the server's
// context switches a second (how often it was woken, whatever the load).
#include <benchmark/benchmark.h>

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "audio/sound_effects.h"
#include "bench_session.h"
#include "testing/seams.h"

namespace {

enum Phase { Settle, Paused, Effects, Quiet, After, Done, PhaseCount };
// Each phase's length in seconds.
const double kPhaseSeconds[PhaseCount] = {1, 4, 4, 2, 3, 0};

// The voluntary and forced context switches of every thread of `pid`; -1
// when it cannot be read.
long long ContextSwitches(const char* pid) {
    std::string folder = std::string("/proc/") + pid + "/task";
    DIR* tasks = opendir(folder.c_str());
    if (!tasks) return -1;
    long long total = 0;
    while (dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        FILE* status =
            fopen((folder + "/" + task->d_name + "/status").c_str(), "r");
        if (!status) continue;
        char line[256];
        long long count = 0;
        while (fgets(line, sizeof(line), status))
            if (sscanf(line, "voluntary_ctxt_switches: %lld", &count) == 1 ||
                sscanf(line, "nonvoluntary_ctxt_switches: %lld", &count) == 1)
                total += count;
        fclose(status);
    }
    closedir(tasks);
    return total;
}

struct Sample {
    uint64_t ns = 0;
    uint64_t passes[AUDIO_DEVICE_COUNT] = {};
    long long serverSwitches = -1;
};

struct Session {
    Phase phase = Settle;
    uint64_t phaseNs = 0;
    uint64_t lastSoundNs = 0;
    Sample start[PhaseCount], end[PhaseCount];
} session;

Sample Take() {
    Sample sample;
    sample.ns = BenchNowNs();
    for (int device = 0; device < AUDIO_DEVICE_COUNT; ++device)
        sample.passes[device] = TestAudioPasses(AudioDevice(device));
    if (const char* pid = std::getenv("QEL_SOUND_SERVER_PID"))
        sample.serverSwitches = ContextSwitches(pid);
    return sample;
}

void OnPeek() {
    Session& s = session;
    uint64_t now = BenchNowNs();
    if (!s.phaseNs) {
        TestSetPresentPacing(true);
        TestRecordAudio(true);
        s.phaseNs = now;
        s.start[Settle] = Take();
    }
    if (s.phase == Effects && now - s.lastSoundNs >= 500000000ull) {
        PlaySoundEffect(hitSound);
        s.lastSoundNs = now;
    }
    if (s.phase == Done || now - s.phaseNs < kPhaseSeconds[s.phase] * 1e9)
        return;
    s.end[s.phase] = Take();
    s.phase = Phase(s.phase + 1);
    s.phaseNs = now;
    s.start[s.phase] = s.end[s.phase - 1];
    if (s.phase == Done) TestSetKeyState(VK_ESCAPE, true);
}

void BM_AudioWakeups(benchmark::State& state) {
    BenchInDataDir here;
    if (!here.entered()) {
        state.SkipWithError("no data folder");
        return;
    }
    char commandLine[] = "";
    for (auto _ : state) {
        BenchResetProcess();
        session = Session();
        TestSetPeekHook(OnPeek);
        int code = WinMain(BenchModule(), nullptr, commandLine, SW_SHOWDEFAULT);
        TestSetPeekHook(nullptr);
        if (code != 0 || session.phase != Done) {
            state.SkipWithError("the game ended early");
            break;
        }
        state.SetIterationTime(
            double(session.end[After].ns - session.start[Paused].ns) / 1e9);
    }
    BenchResetProcess();
    const char* names[] = {"", "paused", "effects", "", "after"};
    for (Phase phase : {Paused, Effects, After}) {
        const Sample& a = session.start[phase];
        const Sample& b = session.end[phase];
        double seconds = double(b.ns - a.ns) / 1e9;
        if (seconds <= 0) continue;
        std::string name = names[phase];
        state.counters[name + "_music_passes_s"] =
            double(b.passes[AUDIO_DEVICE_MUSIC] -
                   a.passes[AUDIO_DEVICE_MUSIC]) /
            seconds;
        state.counters[name + "_effects_passes_s"] =
            double(b.passes[AUDIO_DEVICE_EFFECTS] -
                   a.passes[AUDIO_DEVICE_EFFECTS]) /
            seconds;
        if (a.serverSwitches >= 0 && b.serverSwitches >= 0)
            state.counters[name + "_server_wakeups_s"] =
                double(b.serverSwitches - a.serverSwitches) / seconds;
    }
}
// One session of 15 s.
BENCHMARK(BM_AudioWakeups)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
