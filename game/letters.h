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

struct GameState {
    int32_t level;
    int32_t liveCount;
    int32_t highWater;
    int32_t score;
    bool running;
    int32_t volume;
    DWORD lastSpawnTick;
    DWORD lastFallTick;
    DWORD lastMusicTick;
    double musicStopTime;
    double musicPosition;
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
