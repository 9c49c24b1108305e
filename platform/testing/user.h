// Test seams of the window, message, keyboard, clock and message-box
// stand-ins. The game never calls these.
#ifndef QEL_PLATFORM_TESTING_USER_H
#define QEL_PLATFORM_TESTING_USER_H

#include <windows.h>

#include <cstdint>
#include <vector>

#include "../user/seam_state.h"

// The tick count: fixed at `ms` until TestResetUser.
void TestSetTickCount(DWORD ms);

// A key as the keyboard would deliver it, in the order given: it changes the
// key state that GetAsyncKeyState reports and becomes WM_KEYDOWN/WM_KEYUP
// (WM_SYSKEYDOWN/WM_SYSKEYUP with Alt) for the main window, or input to the
// menu or dialog loop that is open. `repeat` marks auto-repeat.
void TestKeyDown(int virtualKey, bool repeat = false);
void TestKeyUp(int virtualKey);
// A key press (down, then up).
void TestKeyPress(int virtualKey);
// The window manager's close request (the title bar's X, or a WM's Alt+F4).
void TestCloseRequest();
// Only the state GetAsyncKeyState reports, with no message.
void TestSetKeyState(int virtualKey, bool down);

// Called by menu, dialog and message-box loops each time they find no input
// waiting, so that a test can feed them; a loop nobody answers stays open,
// as with a player.
void TestSetModalIdle(void (*idle)());

// Message boxes: recorded (and not shown) while recording is on.
typedef UserBoxRecord TestMessageBox;
void TestRecordMessageBoxes(bool on);
const std::vector<TestMessageBox>& TestMessageBoxes();
void TestClearMessageBoxes();

// Message boxes shown and run as a player meets them (recording off), on
// whatever video driver SDL has, the offscreen one included, which
// otherwise counts as no display. A test answers them from its modal idle
// hook (TestSetModalIdle), by keys or by SDL events aimed at the box's
// window; a box nobody answers stays up.
void TestShowMessageBoxes();
// The message box shown last: its SDL window id (0 once it has closed) and
// its place on the desktop.
typedef UserShownBox TestShownMessageBox;
const TestShownMessageBox& TestMessageBoxShown();
// The SDL window id of a window, to aim SDL events at it (0 for none).
uint32_t TestSdlWindowId(HWND window);
// The window records the stand-in holds: a destroyed top-level window keeps
// its record (its handle stays unique), a dialog's goes when it ends.
int TestWindowRecords();

// Presenting: pacing by the display refresh (on by default; recording
// message boxes turns it off), and the last picture shown in a window (a
// frame, or the menu or a dialog drawn over it), read a pixel at a time
// (XRGB; 0 before the first, or outside). Pixels are kept once
// TestRecordMessageBoxes(true) has been called.
void TestSetPresentPacing(bool on);
uint32_t TestScreenPixel(int x, int y);
// The same picture whole, 1024 by 768 XRGB (empty before the first).
const std::vector<uint32_t>& TestScreenImage();
int TestPresentCount();

// The rectangles the last present sent to the X server, in the window's
// pixels (the whole window for a picture sent whole; none when nothing
// changed).
const std::vector<SDL_Rect>& TestSentRects();

// The copy behind TestScreenPixel: on from TestRecordMessageBoxes(true),
// off here, so that a benchmark presents as the game does, without it.
void TestCaptureScreen(bool on);

// Called each time PeekMessageA is about to look at the queue, that is once
// per pass of the main loop: a test feeds input to the running loop here.
void TestSetPeekHook(void (*hook)());

// Called after each frame presented in a window (not the black a newly shown
// window starts with) with its 1024 by 768 XRGB pixels, `pitch` pixels a
// row, as shown; nothing is copied.
void TestSetPresentHook(void (*hook)(const uint32_t* pixels, int pitch));

// Forgets every window, class, message, key state and record, so that each
// test starts from a new process's state. Called between tests.
void TestResetUser();

#endif
