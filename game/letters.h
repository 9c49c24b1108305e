// The table of falling letters, the game state and the rules that change them.
#ifndef QEL_GAME_LETTERS_H
#define QEL_GAME_LETTERS_H

#include <windows.h>

#include <cstdint>

#define MAX_LETTERS 255

struct LetterSlot {
    char text[256];
    int32_t spawnLevel;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    bool alive;
};

// A new game, as the process starts: level 1, paused, every counter 0.
struct GameState {
    int32_t level = 1;
    int32_t liveCount = 0;
    int32_t highWater = 0;
    int32_t score = 0;
    bool running = false;
    int32_t volume = 0;
    DWORD lastSpawnTick = 0;
    DWORD lastFallTick = 0;
    DWORD lastMusicTick = 0;
    double musicStopTime = 0.0;
    double musicPosition = 0.0;
};

extern LetterSlot letters[MAX_LETTERS];
extern GameState game;

void SpawnLetter();
void InitLetter(LetterSlot* slot);
bool StepLetter(LetterSlot* slot);
bool LevelUp();
bool LevelDown();
int32_t NextLevelScore(int32_t level);
bool LevelReached(int32_t score, int32_t level);
bool HitKey(char key);

#endif
