// user32: the thread's message queue. Posted messages come first, then the
// quit message, then input, as Windows orders them; nothing here waits.
#include <windows.h>

#include <deque>

#include "user_private.h"
#include "../trace/trace.h"

static std::deque<MSG> posted;
static std::deque<UserInput> input;
static bool quitPosted;
static int quitCode;
static uint32_t modalWindow; // a message box's SDL window, while it is up
// Tests feed input to the running main loop from here.
void (*userPeekHook)() = nullptr;

// The key events SDL makes up to match the keys held when the focus comes
// (the Alt of Alt+Tab released in the switcher): they change the key state
// but, as on Windows, post no message.
static bool keymapSync;

void UserPumpInput() {
    if (!UserInitVideo()) return;
    // One pump a pass: SDL_PollEvent would ask the X server again for every
    // event taken.
    SDL_PumpEvents();
    UserKeepFullScreen();
    SDL_Event event;
    // Key releases queued by this pump just before the event now taken.
    size_t releases = 0;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT,
                          SDL_LASTEVENT) > 0) {
        UserInput in;
        bool release = false;
        if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)
            keymapSync = UserIsKeymapSync(event);
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            in.virtualKey = UserVirtualKeyFromSdl(event.key.keysym.sym,
                                                  event.key.keysym.scancode);
            if (!in.virtualKey) continue;
            in.down = event.type == SDL_KEYDOWN;
            in.repeat = event.key.repeat != 0;
            SDL_Keymod mod = (SDL_Keymod)event.key.keysym.mod;
            in.alt = (mod & KMOD_ALT) != 0 && in.virtualKey != VK_MENU;
            in.shift = (mod & KMOD_SHIFT) != 0;
            in.caps = (mod & KMOD_CAPS) != 0;
            in.scanCode = (int)event.key.keysym.scancode;
            in.window = event.key.windowID;
            UserSetAsyncKeyState(in.virtualKey, in.down);
            if (keymapSync) continue;
            input.push_back(in);
            release = !in.down;
            break;
        }
        case SDL_QUIT:
            in.kind = UserInput::Close;
            input.push_back(in);
            break;
        case SDL_WINDOWEVENT:
            in.window = event.window.windowID;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                in.kind = UserInput::Close;
                input.push_back(in);
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED &&
                       modalWindow && in.window == modalWindow) {
                in.kind = UserInput::Expose;
                input.push_back(in);
            } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                       event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                UserWindowChanged(event.window.windowID);
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                // SDL releases every key it saw go down as the focus leaves;
                // on Windows those releases reach the window that has the
                // keyboard now (an Alt of Alt+Tab would open our menu). The
                // key state above already follows them.
                input.erase(input.end() - (long)releases, input.end());
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button != SDL_BUTTON_LEFT || !modalWindow ||
                event.button.windowID != modalWindow)
                continue;
            in.kind = UserInput::Click;
            in.window = event.button.windowID;
            in.down = event.type == SDL_MOUSEBUTTONDOWN;
            in.x = event.button.x;
            in.y = event.button.y;
            input.push_back(in);
            break;
        }
        releases = release ? releases + 1 : 0;
    }
}

void UserSetModalWindow(uint32_t sdlWindow) {
    modalWindow = sdlWindow;
}

bool UserTakeInput(UserInput& in) {
    if (input.empty()) return false;
    in = input.front();
    input.pop_front();
    return true;
}

void UserQueueInput(const UserInput& in) {
    input.push_back(in);
}

void UserWaitInput(int ms) {
    if (!input.empty() || !UserInitVideo()) return;
    SDL_WaitEventTimeout(nullptr, ms);
}

void UserPostFirst(const MSG& msg) {
    posted.push_front(msg);
}

void UserResetMessages() {
    posted.clear();
    input.clear();
    quitPosted = false;
    quitCode = 0;
    keymapSync = false;
}

// Takes the next message without waiting (PM_REMOVE, as the game asks).
// Filters are not stood in for: any message comes, and a fixme says so.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last,
                         UINT remove) {
    TRACE(TRACE_USER, "window=%p filter=0x%x-0x%x remove=0x%x", (void*)window,
          first, last, remove);
    if (window || first || last || remove != PM_REMOVE)
        FIXME(TRACE_USER,
              "window=%p filter=0x%x-0x%x remove=0x%x: any message, removed",
              (void*)window, first, last, remove);
    if (userPeekHook) userPeekHook();
    UserPumpInput();
    if (!posted.empty()) {
        *msg = posted.front();
        posted.pop_front();
        return TRUE;
    }
    if (quitPosted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = (WPARAM)quitCode;
        msg->time = GetTickCount();
        quitPosted = false;
        return TRUE;
    }
    UserInput in;
    if (!UserTakeInput(in)) return FALSE;
    *msg = UserMessageFromInput(in);
    return TRUE;
}

// Queues a message for `window`'s thread (there is one thread).
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    TRACE(TRACE_USER, "window=%p message=0x%x wParam=0x%lx lParam=0x%lx",
          (void*)window, (unsigned)message, (unsigned long)wParam,
          (unsigned long)lParam);
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    posted.push_back(msg);
    return TRUE;
}

// Asks the queue to end: WM_QUIT comes once the posted messages are taken.
void WINAPI PostQuitMessage(int exitCode) {
    TRACE(TRACE_USER, "exitCode=%d", exitCode);
    quitPosted = true;
    quitCode = exitCode;
}

// Calls the window's procedure (a dialog's default procedure for dialogs).
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    TRACE(TRACE_USER, "window=%p message=0x%x wParam=0x%lx lParam=0x%lx",
          (void*)window, (unsigned)message, (unsigned long)wParam,
          (unsigned long)lParam);
    if (!IsWindow(window)) return 0;
    if (window->dialogProc)
        return window->dialogProc(window, message, wParam, lParam);
    if (!window->proc) return 0;
    return window->proc(window, message, wParam, lParam);
}

// Hands a taken message to its window's procedure.
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    TRACE(TRACE_USER, "message=0x%x", msg ? (unsigned)msg->message : 0u);
    if (!msg || !msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
