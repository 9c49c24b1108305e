// One pass of the game, paced only by the tick count: clear, spawn and step
// the letters or show the pause screen, the HUD, the music check, the flip
// and the Escape key. Runs once InitDirectX has succeeded.
#include "game/frame.h"

#include <cstring>

#include "audio/music.h"
#include "display/display.h"
#include "display/surface_text.h"
#include "game/hud.h"
#include "game/letters.h"

int GameFrame() {
    DWORD now = GetTickCount();
    // Unsigned differences stay right across the wrap of the tick count.
    DWORD fallElapsed = now - game.lastFallTick;
    DWORD spawnElapsed = now - game.lastSpawnTick;

    RECT rectback = {0, 0, 1024, 768};
    DDBLTFX ddbltfx;
    memset(&ddbltfx, 0, sizeof(ddbltfx));
    ddbltfx.dwSize = sizeof(ddbltfx);
    ddbltfx.dwFillColor = 0x00C8C8C8; // red, green and blue 200
    lpDDback->Blt(&rectback, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT,
                  &ddbltfx);

    if (game.running) {
        if (game.liveCount < game.level &&
            spawnElapsed > (DWORD)(5000 / game.level)) {
            game.lastSpawnTick = now;
            SpawnLetter();
        }
        for (int32_t i = 0; i < game.highWater; ++i) {
            if (!letters[i].alive) continue;
            // fallElapsed is this pass's: every live letter steps, or none.
            if (fallElapsed > (DWORD)((1000 / game.level) / 10)) {
                game.lastFallTick = now;
                StepLetter(&letters[i]);
            }
            // Drawn even when this step expired it: once more, at 669.
            DrawSurfaceTextFont(lpDDback, letters[i].text, letters[i].x,
                                letters[i].y, RGB(0, 0, 255), TRANSPARENT,
                                hLetterFont);
        }
    } else {
        RECT fatuxy;
        fatuxy.left = (1024 - nPictureWidth) / 2;
        fatuxy.top = (768 - nPictureHeight) / 2;
        fatuxy.right = fatuxy.left + nPictureWidth;
        fatuxy.bottom = fatuxy.top + nPictureHeight;
        lpDDback->Blt(&fatuxy, lpDDbmp1, nullptr, DDBLT_KEYSRC | DDBLT_WAIT,
                      nullptr);
        // "暂停Pause"
        DrawSurfaceTextFont(lpDDback, "\xd4\xdd\xcd\xa3Pause", 472, 200,
                            RGB(255, 0, 0), TRANSPARENT, hHudFont);
        DrawSurfaceText(lpDDback, "Dunmarl", 492, 180, RGB(255, 0, 0),
                        TRANSPARENT);
    }

    DrawHud(rectback, fallElapsed);

    // About once a second: back to the start when under 3 s are left. The
    // HUD above showed the previous check's times.
    if (now - game.lastMusicTick > 1000) {
        if (musicPlayer.pPosition) {
            musicPlayer.pPosition->get_StopTime(&game.musicStopTime);
            musicPlayer.pPosition->get_CurrentPosition(&game.musicPosition);
            if (game.musicStopTime - game.musicPosition < 3.0)
                musicPlayer.pPosition->put_CurrentPosition(0.0);
        }
        game.lastMusicTick = now;
    }

    lpDDprimary->Flip(nullptr, DDFLIP_WAIT);

    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) PostQuitMessage(0);
    return 0;
}
