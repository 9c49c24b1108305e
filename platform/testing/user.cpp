// Test seams of the window, message, keyboard, clock and message-box
// stand-ins.
#include "seams.h"

#include "../kernel/tick_private.h"
#include "../user/user_private.h"

void TestSetTickCount(DWORD ms) {
    kernelTickFixed = true;
    kernelTickValue = ms;
}

static void Key(int virtualKey, bool down, bool repeat) {
    UserInput in;
    in.virtualKey = virtualKey;
    in.down = down;
    in.repeat = repeat;
    in.alt = GetAsyncKeyState(VK_MENU) != 0 && virtualKey != VK_MENU;
    in.shift = GetAsyncKeyState(VK_SHIFT) != 0;
    UserSetAsyncKeyState(virtualKey, down);
    UserQueueInput(in);
}

void TestKeyDown(int virtualKey, bool repeat) {
    Key(virtualKey, true, repeat);
}
void TestKeyUp(int virtualKey) {
    Key(virtualKey, false, false);
}

void TestKeyPress(int virtualKey) {
    TestKeyDown(virtualKey);
    TestKeyUp(virtualKey);
}

void TestCloseRequest() {
    UserInput in;
    in.kind = UserInput::Close;
    UserQueueInput(in);
}

void TestSetKeyState(int virtualKey, bool down) {
    UserSetAsyncKeyState(virtualKey, down);
}

void TestSetModalIdle(void (*idle)()) {
    userModalIdle = idle;
}

void TestRecordMessageBoxes(bool on) {
    userRecordBoxes = on;
    userBoxesAnyDriver = false;
}

void TestShowMessageBoxes() {
    TestRecordMessageBoxes(false);
    userBoxesAnyDriver = true;
}

const TestShownMessageBox& TestMessageBoxShown() {
    return userShownBox;
}

uint32_t TestSdlWindowId(HWND window) {
    return IsWindow(window) && window->sdl ? SDL_GetWindowID(window->sdl) : 0;
}

int TestWindowRecords() {
    return UserWindowRecords();
}

const std::vector<TestMessageBox>& TestMessageBoxes() {
    return userBoxes;
}
void TestClearMessageBoxes() {
    userBoxes.clear();
}

void TestSetPresentPacing(bool on) {
    userPacing = on;
}

uint32_t TestScreenPixel(int x, int y) {
    if (userShown.empty() || x < 0 || y < 0 || x >= kScreenWidth ||
        y >= kScreenHeight)
        return 0;
    return userShown[(size_t)y * kScreenWidth + x] & 0xFFFFFF;
}

const std::vector<uint32_t>& TestScreenImage() {
    return userShown;
}

int TestPresentCount() {
    return userPresentCount;
}

const std::vector<SDL_Rect>& TestSentRects() {
    return userSentRects;
}

void TestCaptureScreen(bool on) {
    userCaptureShown = on;
    if (!on) std::vector<uint32_t>().swap(userShown);
}

void TestSetPeekHook(void (*hook)()) {
    userPeekHook = hook;
}

void TestSetPresentHook(void (*hook)(const uint32_t*, int)) {
    userPresentHook = hook;
}

void TestResetUser() {
    UserResetMessages();
    UserResetKeyboard();
    UserResetWindows();
    userBoxes.clear();
    userShownBox = TestShownMessageBox();
    userModalIdle = nullptr;
    userPeekHook = nullptr;
    userPresentHook = nullptr;
    kernelTickFixed = false;
}
