// Inside the stand-in: the window records, the input that SDL delivers and
// the message queue, shared by the files of user/.
#ifndef QEL_PLATFORM_USER_USER_PRIVATE_H
#define QEL_PLATFORM_USER_USER_PRIVATE_H

#include <windows.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "seam_state.h"
#include "presenter.h"
#include "window_private.h"

struct HWND__ {
    WNDPROC proc = nullptr;
    DLGPROC dialogProc = nullptr; // dialogs only
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    LPCSTR menuName = nullptr; // the class menu, an ordinal
    HICON smallIcon = nullptr;
    bool visible = false;
    bool destroyed = false;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    SDL_Window* sdl = nullptr;
    // Full screen asked again of the window manager since the last show.
    int fullScreenAsks = 0;
    uint32_t shownAt = 0;  // SDL ticks
    UserPresenter present; // what the window shows
};

// One keyboard or window-manager event, in the order it happened.
struct UserInput {
    // Click and Expose come only for the modal window (UserSetModalWindow).
    enum Kind { Key, Close, Click, Expose } kind = Key;
    uint32_t window = 0; // the SDL window it came to; 0: the focus window
    int x = 0, y = 0;    // a click's place in that window
    int virtualKey = 0;
    bool down = false;
    bool repeat = false;
    bool alt = false;   // Alt held with this key
    bool shift = false; // Shift held
    bool caps = false;  // Caps Lock on
    int scanCode = 0;
};

// Reads SDL's waiting events into the input queue and updates the key state
// GetAsyncKeyState reports. Cheap when nothing waits.
void UserPumpInput();
// Takes the oldest waiting input; false when none waits.
bool UserTakeInput(UserInput& input);
// Puts input back at the front (a modal loop that ends on a key leaves the
// keys after it for the main loop).
void UserQueueInput(const UserInput& input);
// Blocks until input may be waiting, at most `ms` milliseconds.
void UserWaitInput(int ms);
// While `sdlWindow` (an SDL window id; 0 for none) is up, left clicks on it
// and its exposures come as input too: a message box reads them.
void UserSetModalWindow(uint32_t sdlWindow);

// An event after which SDL makes up key events to match the keys held (on
// X: the window got the focus, or X's KeymapNotify came), until the next
// event of the window system. Only on X are those events told apart.
bool UserIsKeymapSync(const SDL_Event& event);

// The key code the current layout gives the key at a place (a scancode).
using UserLayoutKey = SDL_Keycode (*)(SDL_Scancode);
// A key, by the key code the layout gives it and its place, to the virtual
// key (0 for keys the game's Windows never sees).
int UserVirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode,
                          UserLayoutKey layout = SDL_GetKeyFromScancode);
void UserSetAsyncKeyState(int virtualKey, bool down);
// Called as each SDL window is made: keys reach the window as they are
// pressed, whatever input method runs and whatever state it is in.
void UserReadKeysNotText();

// Converts input to the message Windows would post to the main window
// (WM_KEYDOWN, WM_SYSKEYUP, WM_CLOSE ...), updating the message-time key
// state.
MSG UserMessageFromInput(const UserInput& input);

// The menu of `window`'s class in a modal loop; `mnemonic` opens the popup
// with that mnemonic, 0 selects the bar. A chosen command is posted as
// WM_COMMAND.
void UserMenuLoop(HWND window, char mnemonic);

// A modal loop found no input: runs the test's idle hook, if any.
void UserModalIdle();

// How a modal loop waits while no input comes.
enum UserModalWait {
    // Drawn over the game's window, which outlives the loop: SDL's wait,
    // woken by the next event and at most 50 ms, so that a test's idle hook
    // still runs.
    USER_MODAL_WAIT_FOR_EVENTS,
    // In an SDL window of its own (the message box): polled every 15 ms.
    // SDL_WaitEventTimeout would name that window for the wake-up another
    // thread (SDL's audio hotplug) may send after the window is gone, and
    // Xlib ends the process on the BadWindow.
    USER_MODAL_POLL,
};
// Pumps SDL's events and takes the next input for a modal loop; when none
// waits, runs the idle hook, waits as `wait` says and returns false.
bool UserTakeModalInput(UserInput& in, UserModalWait wait);

// A dialog window owned by `owner`, its messages going to `dialogProc`;
// destroying it sends WM_DESTROY and frees its record.
HWND UserCreateDialogWindow(HWND owner, DLGPROC dialogProc);
void UserDestroyDialogWindow(HWND dialog);

// Sets up SDL video once; false when it cannot.
bool UserInitVideo();
// A while after it is shown, a top-level window the window manager left
// short of the whole display asks it again for full screen. Called at each
// pump; looks a few times a second.
void UserKeepFullScreen();
// The window covers `display` as the X server has it (true off X).
bool UserCoversDisplay(SDL_Window* sdl, const SDL_Rect& display);

// Posts `msg` ahead of every waiting message (TranslateMessage's WM_CHAR).
void UserPostFirst(const MSG& msg);

// The window record behind a handle, destroyed or not; null for none.
HWND__* UserFindWindow(HWND window);
// Calls `visit` for every window record.
void UserForEachWindow(void (*visit)(HWND window, void* context),
                       void* context);

// Forget everything, for tests: windows, classes, messages, input, keys.
void UserResetKeyboard();
void UserResetMessages();
void UserResetWindows();

#endif
