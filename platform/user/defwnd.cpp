// user32: the default window procedure, for what reaches it in this game:
// closing the window and the keyboard interface of its menu.
#include <windows.h>

#include <cctype>

#include "user_private.h"
#include "../trace/trace.h"

// Alt pressed and released with no key between opens the menu bar.
static bool altAlone;

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    TRACE(TRACE_USER, "window=%p message=0x%x wParam=0x%lx", (void*)window,
          (unsigned)message, (unsigned long)wParam);
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case SC_KEYMENU:
            UserMenuLoop(window, (char)lParam);
            return 0;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_MENU) {
            if (!(lParam & (1 << 30))) altAlone = true;
            return 0;
        }
        altAlone = false;
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYUP:
        if ((wParam == VK_MENU && altAlone) || wParam == VK_F10) {
            altAlone = false;
            SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_KEYDOWN:
        altAlone = false;
        return 0;
    case WM_SYSCHAR:
        // Alt with a letter: the menu opens on the popup it names.
        if (wParam != ' ' && std::isalnum((int)wParam))
            SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, (LPARAM)wParam);
        return 0;
    }
    return 0;
}
