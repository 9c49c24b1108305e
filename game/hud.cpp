// The head-up display lines. The texts are GBK (code page 936) bytes, as the
// game's fonts expect, written as escapes under their text: every compiler
// then takes them as they are, whatever its execution character set.
#include "game/hud.h"

#include <cstdio>

#include "display/display.h"
#include "display/surface_text.h"
#include "game/letters.h"

// snprintf, not sprintf: the music times come from the media graph, and a
// huge one must not run past the buffer.

void FormatStatusLine(char* line, int32_t nextLevelScore, int32_t x, int32_t y,
                      int32_t count, int32_t maxCount, int32_t volume,
                      DWORD interval, DWORD tick) {
    // The two tick values print as Windows' %d prints a DWORD: signed.
    snprintf(line, HUD_LINE_SIZE,
             // "下级需要:%d x:%d y:%d Count:%d MaxCount:%d 音量:%d 间隔:%d %d"
             "\xcf\xc2\xbc\xb6\xd0\xe8\xd2\xaa:%d x:%d y:%d Count:%d "
             "MaxCount:%d \xd2\xf4\xc1\xbf:%d \xbc\xe4\xb8\xf4:%d %d",
             (int)nextLevelScore, (int)x, (int)y, (int)count, (int)maxCount,
             (int)volume, (int)interval, (int)tick);
}

void FormatLevelLine(char* line, int32_t level, int32_t score) {
    // "级别:%d   分数:%d"
    snprintf(line, HUD_LINE_SIZE, "\xbc\xb6\xb1\xf0:%d   \xb7\xd6\xca\xfd:%d",
             (int)level, (int)score);
}

void FormatHelpLine(char* line) {
    // "空格:开始/暂停 a~z:打 ESC:退出 +/-:音量"
    snprintf(line, HUD_LINE_SIZE,
             "\xbf\xd5\xb8\xf1:\xbf\xaa\xca\xbc/\xd4\xdd\xcd\xa3 a~z:\xb4\xf2 "
             "ESC:\xcd\xcb\xb3\xf6 +/-:\xd2\xf4\xc1\xbf");
}

void FormatMusicLine(char* line, double stopTime, double position) {
    // "音乐:%.0f   进度:%.0f"
    snprintf(line, HUD_LINE_SIZE,
             "\xd2\xf4\xc0\xd6:%.0f   \xbd\xf8\xb6\xc8:%.0f", stopTime,
             position);
}

void DrawHud(const RECT& rectback, DWORD fallElapsed) {
    char szText[HUD_LINE_SIZE];

    FormatStatusLine(szText, NextLevelScore(game.level), letters[0].x,
                     letters[0].y, game.liveCount, game.highWater, game.volume,
                     fallElapsed, GetTickCount());
    DrawSurfaceTextFont(lpDDback, szText, 100, rectback.bottom - 50,
                        RGB(0, 0, 0), TRANSPARENT, hHudFont);

    FormatLevelLine(szText, game.level, game.score);
    DrawSurfaceTextFont(lpDDback, szText, 100, rectback.bottom - 80,
                        RGB(255, 0, 0), TRANSPARENT, hHudFont);

    FormatHelpLine(szText);
    DrawSurfaceTextFont(lpDDback, szText, 100, rectback.bottom - 30,
                        RGB(100, 100, 100), TRANSPARENT, hHudFont);

    FormatMusicLine(szText, game.musicStopTime, game.musicPosition);
    DrawSurfaceTextFont(lpDDback, szText, 500, rectback.bottom - 30,
                        RGB(100, 100, 100), TRANSPARENT, hHudFont);
}
