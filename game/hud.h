// The head-up display: four lines of text at the bottom of the back buffer.
#ifndef QEL_GAME_HUD_H
#define QEL_GAME_HUD_H

#include <windows.h>

#include <cstdint>

// Every line is formatted into one buffer of this many bytes.
enum { HUD_LINE_SIZE = 200 };

// Line 1: the score the next level needs, slot 0's position, the live and
// high-water counts, the volume, this pass's fall interval and a fresh tick.
void FormatStatusLine(char* line, int32_t nextLevelScore, int32_t x, int32_t y,
                      int32_t count, int32_t maxCount, int32_t volume,
                      DWORD interval, DWORD tick);
// Line 2: level and score.
void FormatLevelLine(char* line, int32_t level, int32_t score);
// Line 3: the keys.
void FormatHelpLine(char* line);
// Line 4: the music's length and position in whole seconds.
void FormatMusicLine(char* line, double stopTime, double position);

// Draws the four lines on lpDDback in hHudFont, measured up from the bottom
// of `rectback`. `fallElapsed` is this pass's time since the last fall step.
void DrawHud(const RECT& rectback, DWORD fallElapsed);

#endif
