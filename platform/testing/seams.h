// Every test seam of the stand-in, declared once: what a test sets and reads
// that a player never sees. The game never calls these; the tests and the
// benchmarks link them from qel_platform_testing. Each does one thing.
#ifndef QEL_PLATFORM_TESTING_SEAMS_H
#define QEL_PLATFORM_TESTING_SEAMS_H

#include <windows.h>
#include <ddraw.h>
#include <dsound.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../audio_device/audio_record.h"
#include "../kernel/fault.h"
#include "../user/seam_state.h"

// -------- The clock, input, message boxes, windows, presenting (user/,
// kernel/)

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

// Message boxes: recorded (and not shown) while recording is on. The test
// entry and PlatformTest turn it on; screen capture and pacing are their own
// seams below.
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

// Presenting: pacing by the display refresh (on by default), and the last
// picture shown in a window (a frame, or the menu or a dialog drawn over
// it), read a pixel at a time (XRGB; 0 before the first, or outside, or
// while TestCaptureScreen is off).
void TestSetPresentPacing(bool on);
uint32_t TestScreenPixel(int x, int y);
// The same picture whole, 1024 by 768 XRGB (empty before the first).
const std::vector<uint32_t>& TestScreenImage();
int TestPresentCount();

// The rectangles the last present sent to the X server, in the window's
// pixels (the whole window for a picture sent whole; none when nothing
// changed).
const std::vector<SDL_Rect>& TestSentRects();

// The copy behind TestScreenPixel: off by default, so that the game and a
// benchmark present without it; off drops the copy.
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

// -------- DirectDraw (ddraw/)

// A copy of a surface's pixels, 32-bit XRGB (0x00RRGGBB), top row first.
struct TestSurfaceImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// The pixels of `surface` as they are now; empty (0 by 0) for a pointer
// that is not a live surface of the stand-in.
TestSurfaceImage TestSurfacePixels(LPDIRECTDRAWSURFACE7 surface);

// Flips that presented a frame since the last reset.
int TestFlipCount();

// DirectDraw objects and surfaces alive now (0 once all are released).
int TestLiveDirectDrawObjects();
int TestLiveSurfaces();

// Forgets the flip count. Live objects are left alone:
// a test releases what it made.
void TestResetDirectDraw();

// -------- GDI (gdi/)

// The file of the face a font was opened from ("" for a handle that is not
// a font).
std::string TestGdiFontFile(HFONT font);
// Fonts, brushes and bitmaps not yet deleted (stock objects left out), and
// device contexts not yet deleted.
int TestGdiLiveObjects();
int TestGdiLiveDCs();

// -------- Audio: mmio, DirectSound, DirectShow (winmm/, dsound/, dshow/)

// The record of started audio: buffer plays, each with its steady-clock
// time. Off until turned on.
void TestRecordAudio(bool on);
// Events of one kind, in order.
std::vector<AudioEvent> TestAudioEventsOf(AudioEventKind kind);

// For a buffer started while the record was on: the steady-clock time of
// the Play that started it and of the first mixing pass that took its
// samples (0 until that pass has run). False for an unknown buffer.
bool TestBufferFirstSample(LPDIRECTSOUNDBUFFER buffer, uint64_t* playNs,
                           uint64_t* firstSampleNs);

// The size of a buffer's samples once converted to the mixer's format
// (44100 Hz 16-bit stereo): 0 before its Unlock or for an unknown one.
uint32_t TestBufferConvertedBytes(LPDIRECTSOUNDBUFFER buffer);

// Mixing passes of a device since the record was cleared, counted while it
// is on: how often the sound server is fed.
uint64_t TestAudioPasses(AudioDevice device);
// Whether the sound buffers' device is open now.
bool TestEffectsDeviceOpen();

// Live objects.
int TestLiveSoundBuffers();
int TestLiveFilterGraphs();
// SDL_mixer's music volume, 0..128, and whether its music stream plays.
int TestMixerMusicVolume();
bool TestMixerMusicPlaying();

// mmio handles open now.
int TestMmioOpenHandles();

// Clears the record, and closes the audio devices (the music's and the
// sounds') when no object holds them any more, so that the next test opens
// them afresh (with the SDL_AUDIODRIVER then set) at full music volume. Returns
// false when objects are still alive (a test leaked them).
bool TestResetAudio();

// -------- Failing calls, in every service

// The next call of `call` returns `result`: a failure without doing
// anything (creation calls also null their out pointer), a success code
// after doing its work. Forgotten by TestResetFaults, between tests.
void TestFailNext(FaultCall call, HRESULT result);
void TestResetFaults();

#endif
