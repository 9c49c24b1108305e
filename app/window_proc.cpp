// The main window procedure (keys and menu commands) and the About box.
#include "app/app.h"

#include "app/resources/resource.h"
#include "audio/music.h"
#include "game/letters.h"

// Page Up lowers the level and Page Down raises it. Escape is the frame's.
static void HandleKey(WPARAM key) {
    switch (key) {
    case VK_SPACE:
        game.running = !game.running;
        break;
    case VK_PRIOR:
        LevelDown();
        break;
    case VK_NEXT:
        LevelUp();
        break;
    case VK_ADD:
        ChangeMusicVolume(+100);
        break;
    case VK_SUBTRACT:
        ChangeMusicVolume(-100);
        break;
    }
    if (key >= 'A' && key <= 'Z') HitKey((char)key);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        HandleKey(wParam);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_ABOUT:
            DialogBoxParamA(hAppInstance, MAKEINTRESOURCEA(DLG_ABOUT), window,
                            AboutDlgProc, 0);
            return 0;
        case CMD_EXIT:
            DestroyWindow(window);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam,
                              LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}
