// Test seams of the window, message, keyboard, clock and message-box
// stand-ins.
#include "user.h"

#include "../kernel/tick_internal.h"
#include "../user/user_internal.h"

bool userRecordBoxes = false;
std::vector<TestMessageBox> userBoxes;
extern bool userPacing;
extern int userPresentCount;
void (*userModalIdle)() = nullptr;
bool userModalTestMode = false;

void TestSetTickCount(DWORD ms) {
    kernelTickFixed = true;
    kernelTickValue = ms;
}

void TestAdvanceTickCount(DWORD ms) {
    kernelTickFixed = true;
    kernelTickValue += ms;
}

void TestUseRealTickCount() { kernelTickFixed = false; }

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

void TestKeyDown(int virtualKey, bool repeat) { Key(virtualKey, true, repeat); }
void TestKeyUp(int virtualKey) { Key(virtualKey, false, false); }

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
    userModalTestMode = true;
    userModalIdle = idle;
}

void TestRecordMessageBoxes(bool on) {
    userRecordBoxes = on;
    userModalTestMode = true;
    userPacing = false;
}

const std::vector<TestMessageBox>& TestMessageBoxes() { return userBoxes; }
void TestClearMessageBoxes() { userBoxes.clear(); }

void TestSetPresentPacing(bool on) { userPacing = on; }

std::vector<uint32_t> TestScreenPixels() {
    std::vector<uint32_t> pixels;
    HWND window = UserMainWindow();
    if (!window || !window->frame) return pixels;
    UserCopyScreen(window, pixels);
    return pixels;
}

uint32_t TestScreenPixel(int x, int y) {
    HWND window = UserMainWindow();
    const PixelMap* screen = window ? UserScreen(window) : nullptr;
    if (!screen || x < 0 || y < 0 || x >= screen->width || y >= screen->height)
        return 0;
    return screen->pixels[(size_t)y * screen->pitch + x] & 0xFFFFFF;
}

int TestPresentCount() { return userPresentCount; }

void TestResetUser() {
    UserResetMessages();
    UserResetKeyboard();
    UserResetWindows();
    userBoxes.clear();
    userModalIdle = nullptr;
    kernelTickFixed = false;
}
