// The process entry: start-up, the main loop and the shutdown.
#include "app/app.h"

#include <cstdlib>

#include "app/resources/resource.h"
#include "audio/music.h"
#include "audio/sound_effects.h"
#include "display/display.h"
#include "display/surface_text.h"
#include "game/frame.h"

HINSTANCE hAppInstance;
HWND hMainWindow;
char szAppTitle[100];
char szAppClass[100];

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA cls;
    cls.cbSize = sizeof(WNDCLASSEXA);
    cls.style = CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = MainWndProc;
    cls.cbClsExtra = 0;
    cls.cbWndExtra = 0;
    cls.hInstance = instance;
    cls.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LARGE));
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    cls.lpszMenuName = MAKEINTRESOURCEA(RES_MAIN);
    cls.lpszClassName = szAppClass;
    cls.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(ICON_SMALL));
    return RegisterClassExA(&cls);
}

// Lets go of every interface of the music graph, so that the graph stops
// and goes with the last one. A rendered graph still there when the process
// ends, playing or not, brings the process down under Wine (killed by a
// signal instead of exit code 0).
static void ReleaseMusicPlayer() {
    if (musicPlayer.pControl) musicPlayer.pControl->Release();
    if (musicPlayer.pAudio) musicPlayer.pAudio->Release();
    if (musicPlayer.pPosition) musicPlayer.pPosition->Release();
    if (musicPlayer.pGraph) musicPlayer.pGraph->Release();
    musicPlayer = MusicPlayer{};
}

BOOL InitApplication(HINSTANCE instance, int showCommand) {
    hAppInstance = instance;
    HWND window =
        CreateWindowExA(0, szAppClass, szAppTitle, WS_POPUP, 0, 0, 1024, 768,
                        nullptr, nullptr, instance, nullptr);
    if (!window) return FALSE;
    hMainWindow = window;

    // The filter graph is a COM object: COM starts on this thread first.
    CoInitialize(nullptr);
    musicPlayer.pGraph = CreateMusicGraph(OLESTR("music.mp3"));
    if (musicPlayer.pGraph) {
        musicPlayer.pControl = QueryMediaControl(musicPlayer.pGraph);
        musicPlayer.pAudio = QueryBasicAudio(musicPlayer.pGraph);
        musicPlayer.pPosition = QueryMediaPosition(musicPlayer.pGraph);
    }

    // The rest goes with the process; the music graph must go first.
    if (InitDirectX(hMainWindow) != 0) {
        ReleaseMusicPlayer();
        return FALSE;
    }

    if (musicPlayer.pControl) musicPlayer.pControl->Run();
    ShowWindow(hMainWindow, showCommand);
    UpdateWindow(hMainWindow);
    return TRUE;
}

void ReleaseAll() {
    ReleaseSoundEffects();
    ReleaseMusicPlayer();
    if (lpDDback) lpDDback->Release();
    if (lpDDprimary) lpDDprimary->Release();
    if (lpDDbmp1) lpDDbmp1->Release();
    if (lpDD) lpDD->Release();
    DeleteObject(hLetterFont);
    DeleteObject(hHudFont);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    srand(GetTickCount());
    LoadStringA(instance, STR_TITLE, szAppTitle, sizeof(szAppTitle));
    LoadStringA(instance, RES_MAIN, szAppClass, sizeof(szAppClass));
    RegisterMainWindowClass(instance);
    if (!InitApplication(instance, showCommand)) return 0;

    // Loaded as the window class expects, though the loop translates none.
    HACCEL accelerators =
        LoadAcceleratorsA(instance, MAKEINTRESOURCEA(RES_MAIN));
    (void)accelerators;

    // Never waits: one message at most, then one frame, every pass.
    MSG msg = {};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        GameFrame();
    }

    ReleaseAll();
    return (int)msg.wParam;
}
