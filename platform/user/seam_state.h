// Inside the stand-in: the state of user/ that tests set and read through
// platform/testing/seams.h, declared once here. A player's process leaves it
// as it starts.
#ifndef QEL_PLATFORM_USER_SEAM_STATE_H
#define QEL_PLATFORM_USER_SEAM_STATE_H

#include <windows.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// A message box recorded instead of shown.
struct UserBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// The message box shown last: its SDL window id (0 once it has closed) and
// its place on the desktop.
struct UserShownBox {
    uint32_t window = 0;
    RECT rect = {};
};

// messagebox.cpp: boxes recorded rather than shown; boxes shown on any SDL
// video driver, the offscreen one included.
extern bool userRecordBoxes;
extern bool userBoxesAnyDriver;
extern std::vector<UserBoxRecord> userBoxes;
extern UserShownBox userShownBox;

// window.cpp: pacing by the refresh, the count of presents, the copy of the
// last picture shown, the hook that sees each frame, the rectangles sent and
// the number of window records.
extern bool userPacing;
extern int userPresentCount;
extern bool userCaptureShown;
extern std::vector<uint32_t> userShown;
extern void (*userPresentHook)(const uint32_t* pixels, int pitch);
// The rectangles the last present sent to the X server, in the window's
// pixels.
extern std::vector<SDL_Rect> userSentRects;
int UserWindowRecords();
// The nanoseconds to wait before a present at `now` for presents to come
// once per refresh of `hz` (0, unknown: 60 Hz); `next` is when one is due.
uint64_t UserPaceWait(uint64_t* next, uint64_t now, int hz);

// dialog.cpp: run by menu, dialog and message-box loops that find no input.
extern void (*userModalIdle)();

// message.cpp: run as PeekMessageA looks at the queue.
extern void (*userPeekHook)();

#endif
