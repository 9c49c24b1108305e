// HitKey over a full table of 255 live letters at level 255, with no sound
// loaded (the rules alone).
#include <benchmark/benchmark.h>

#include "audio/sound_effects.h"
#include "game/letters.h"
#include "game_state.h"

namespace {

// 255 live letters 'a'..'y' ('z' is never live), as BenchFillLetters
// would spread them, but with no display.
void FillTable() {
    ResetGame();
    hitSound = levelUpSound = -1;
    game.level = 255;
    for (int i = 0; i < MAX_LETTERS; ++i) {
        letters[i].text[0] = (char)('a' + i % 25);
        letters[i].text[1] = 0;
        letters[i].x = 50 + (i * 37) % 924;
        letters[i].y = 1 + (i * 661 / MAX_LETTERS) % 660;
        letters[i].alive = true;
    }
    game.liveCount = MAX_LETTERS;
    game.highWater = MAX_LETTERS;
    game.running = true;
}

// A key whose letter is live: the farthest-fallen one goes, and is put back
// (its slot alive again, the count and score as before) for the next pass.
void BM_HitKeyHit(benchmark::State& state) {
    FillTable();
    // Where each key's knock-out lands, so it can be undone.
    int target[25];
    for (int k = 0; k < 25; ++k) {
        target[k] = -1;
        for (int i = 0; i < MAX_LETTERS; ++i)
            if (letters[i].text[0] == 'a' + k &&
                (target[k] < 0 || letters[i].y > letters[target[k]].y))
                target[k] = i;
    }
    int k = 0;
    for (auto _ : state) {
        bool hit = HitKey((char)('A' + k));
        benchmark::DoNotOptimize(hit);
        letters[target[k]].alive = true;
        ++game.liveCount;
        game.score = 0;
        k = k == 24 ? 0 : k + 1;
    }
    ResetGame();
}
BENCHMARK(BM_HitKeyHit);

// A key no live letter shows: the whole table is scanned for nothing.
void BM_HitKeyMiss(benchmark::State& state) {
    FillTable();
    for (auto _ : state) {
        bool hit = HitKey('Z');
        benchmark::DoNotOptimize(hit);
    }
    ResetGame();
}
BENCHMARK(BM_HitKeyMiss);

} // namespace
