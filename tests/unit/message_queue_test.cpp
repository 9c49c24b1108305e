// The message queue, the keyboard and the default window procedure.
#include <gtest/gtest.h>

#include "platform_fixture.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> seen;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    seen.push_back({message, wParam, lParam});
    if (message == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Messages : public PlatformTest {
  protected:
    HWND window = nullptr;
    void SetUp() override {
        PlatformTest::SetUp();
        seen.clear();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = RecordingProc;
        cls.hInstance = GameModule();
        cls.lpszMenuName = MAKEINTRESOURCEA(109);
        cls.lpszClassName = "QelTest";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        window = CreateWindowExA(0, "QelTest", "Qel", WS_POPUP, 0, 0, 1024, 768,
                                 nullptr, nullptr, GameModule(), nullptr);
        ASSERT_NE(window, nullptr);
        seen.clear();
    }

    // Takes every waiting message, translating and dispatching as the game's
    // loop does; returns the messages taken.
    std::vector<MSG> Drain() {
        std::vector<MSG> taken;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(msg);
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return taken;
    }

    bool Saw(UINT message, WPARAM wParam) {
        for (const Seen& s : seen)
            if (s.message == message && s.wParam == wParam) return true;
        return false;
    }
};

TEST_F(Messages, ThePopupWindowIsHiddenUntilShown) {
    EXPECT_FALSE(IsWindowVisible(window));
    ShowWindow(window, SW_SHOWDEFAULT);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(Messages, OneMessagePerPeekPostedBeforeQuitBeforeInput) {
    TestKeyDown('Q');
    PostQuitMessage(0);
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER, 2, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, (WPARAM)'Q');
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, PeekWithoutRemoveLeavesTheMessage) {
    PostMessageA(window, WM_USER, 5, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, LettersArriveUpperCaseWhateverShiftAndCapsLock) {
    TestKeyDown(VK_SHIFT);
    TestKeyPress('G');
    TestKeyUp(VK_SHIFT);
    TestKeyPress('G');
    std::vector<MSG> taken = Drain();
    std::vector<WPARAM> keys, chars;
    for (const MSG& m : taken)
        if (m.message == WM_KEYDOWN) keys.push_back(m.wParam);
    for (const Seen& s : seen)
        if (s.message == WM_CHAR) chars.push_back(s.wParam);
    EXPECT_EQ(keys, (std::vector<WPARAM>{VK_SHIFT, 'G', 'G'}));
    EXPECT_EQ(chars, (std::vector<WPARAM>{'G', 'g'}));
}

TEST_F(Messages, AutoRepeatGivesRepeatedKeyDownsWithThePreviousStateBit) {
    TestKeyDown(VK_NEXT);
    TestKeyDown(VK_NEXT, true);
    TestKeyDown(VK_NEXT, true);
    TestKeyUp(VK_NEXT);
    std::vector<MSG> taken = Drain();
    ASSERT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken[0].message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(taken[0].lParam & (1 << 30), 0);
    EXPECT_EQ(taken[1].message, (UINT)WM_KEYDOWN);
    EXPECT_NE(taken[1].lParam & (1 << 30), 0);
    EXPECT_EQ(taken[3].message, (UINT)WM_KEYUP);
}

TEST_F(Messages, AltCombinationsAreSystemKeys) {
    TestKeyDown(VK_MENU);
    TestKeyDown('Q');
    TestKeyUp('Q');
    TestKeyUp(VK_MENU);
    TestKeyDown(VK_F10);
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        taken.push_back(msg);
    ASSERT_EQ(taken.size(), 5u);
    for (const MSG& m : taken)
        EXPECT_TRUE(m.message == WM_SYSKEYDOWN || m.message == WM_SYSKEYUP)
            << std::hex << m.message;
    EXPECT_NE(taken[1].lParam & (1 << 29), 0) << "the Alt context bit";
}

TEST_F(Messages, AsyncKeyStateFollowsTheKeyNotTheQueue) {
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    TestKeyDown(VK_ESCAPE);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
    TestKeyUp(VK_ESCAPE);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
    TestSetKeyState(VK_ESCAPE, true);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
}

TEST_F(Messages, TheTickCountIsSettableAndWrapsIn32Bits) {
    TestSetTickCount(0xFFFFFFF0u);
    DWORD before = GetTickCount();
    TestAdvanceTickCount(0x20);
    DWORD after = GetTickCount();
    EXPECT_EQ(after, 0x10u);
    EXPECT_EQ((DWORD)(after - before), 0x20u);
    TestUseRealTickCount();
    DWORD a = GetTickCount();
    Sleep(20);
    DWORD b = GetTickCount();
    EXPECT_GE((DWORD)(b - a), 19u);
}

TEST_F(Messages, CloseRequestDestroysTheWindowAndQuits) {
    TestCloseRequest();
    std::vector<MSG> taken = Drain();
    EXPECT_TRUE(Saw(WM_CLOSE, 0));
    EXPECT_TRUE(Saw(WM_DESTROY, 0));
    EXPECT_FALSE(IsWindow(window));
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back().message, (UINT)WM_QUIT);
    EXPECT_EQ(taken.back().wParam, 7u);
}

TEST_F(Messages, AltF4ClosesTheWindow) {
    TestKeyDown(VK_MENU);
    TestKeyDown(VK_F4);
    Drain();
    EXPECT_TRUE(Saw(WM_SYSKEYDOWN, VK_F4));
    EXPECT_TRUE(Saw(WM_DESTROY, 0));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Messages, F4WithoutAltDoesNotClose) {
    TestKeyPress(VK_F4);
    Drain();
    EXPECT_TRUE(IsWindow(window));
}

// The menu from the keyboard: Alt+F then X is Exit, Alt+H then A is About.
TEST_F(Messages, AltFThenXChoosesExit) {
    ShowWindow(window, SW_SHOW);
    TestKeyDown(VK_MENU);
    TestKeyDown('F');
    TestKeyUp('F');
    TestKeyUp(VK_MENU);
    TestKeyPress('X');
    Drain();
    EXPECT_TRUE(Saw(WM_COMMAND, 105));
    EXPECT_FALSE(Saw(WM_COMMAND, 104));
}

TEST_F(Messages, AltHThenAChoosesAbout) {
    ShowWindow(window, SW_SHOW);
    TestKeyDown(VK_MENU);
    TestKeyPress('H');
    TestKeyUp(VK_MENU);
    TestKeyPress('A');
    Drain();
    EXPECT_TRUE(Saw(WM_COMMAND, 104));
}

TEST_F(Messages, F10ThenArrowsAndEnterChooseFromTheBar) {
    ShowWindow(window, SW_SHOW);
    TestKeyPress(VK_F10);
    TestKeyPress(VK_RIGHT);
    TestKeyPress(VK_RETURN);
    TestKeyPress(VK_RETURN);
    Drain();
    EXPECT_TRUE(Saw(WM_COMMAND, 104));
}

TEST_F(Messages, EscapeLeavesTheMenuWithoutACommand) {
    ShowWindow(window, SW_SHOW);
    TestKeyDown(VK_MENU);
    TestKeyPress('F');
    TestKeyUp(VK_MENU);
    TestKeyPress(VK_ESCAPE);
    TestKeyPress('Q');
    Drain();
    for (const Seen& s : seen)
        EXPECT_NE(s.message, (UINT)WM_COMMAND);
    EXPECT_TRUE(Saw(WM_KEYDOWN, 'Q')) << "keys after the menu reach the window";
}

TEST_F(Messages, TheOpenMenuIsDrawnOverTheScreen) {
    ShowWindow(window, SW_SHOW);
    static int frames;
    frames = TestPresentCount();
    static uint32_t menuPixel;
    TestSetModalIdle([] {
        menuPixel = TestScreenPixel(5, 5);
        TestKeyPress(VK_ESCAPE);
    });
    TestKeyDown(VK_MENU);
    TestKeyPress('F');
    TestKeyUp(VK_MENU);
    Drain();
    EXPECT_GT(TestPresentCount(), frames);
    EXPECT_EQ(menuPixel, 0x0078D7u) << "the open popup's title is highlighted";
    EXPECT_EQ(TestScreenPixel(5, 5), 0u) << "the menu is gone afterwards";
}

TEST_F(Messages, MessageBoxesAreRecordedWithTheirLineOnStderr) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(window, "DXshow RenderFile", "Error", MB_OK), IDOK);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error: DXshow RenderFile\n");
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    EXPECT_EQ(TestMessageBoxes()[0].owner, window);
    EXPECT_EQ(TestMessageBoxes()[0].caption, "Error");
}

} // namespace
