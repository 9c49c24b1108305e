// The application shell: entry, main window, main loop and shutdown.
#ifndef QEL_APP_APP_H
#define QEL_APP_APP_H

#include <windows.h>

extern HINSTANCE hAppInstance;
extern HWND hMainWindow;
extern char szAppTitle[100];
extern char szAppClass[100];

ATOM RegisterMainWindowClass(HINSTANCE instance);
BOOL InitApplication(HINSTANCE instance, int showCommand);
void ReleaseAll();
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam,
                              LPARAM lParam);

#endif
