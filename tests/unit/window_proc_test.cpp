// The main window procedure and the About box: keys and menu commands.
#include <gtest/gtest.h>

#include "app/app.h"
#include "audio/music.h"
#include "game_state.h"
#include "platform_fixture.h"

namespace {

// An IBasicAudio holding a volume, as the music graph does.
class FakeAudio : public IBasicAudio {
  public:
    virtual ~FakeAudio() = default;
    LONG volume = 0;
    int puts = 0;
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT put_Volume(LONG v) override {
        volume = v;
        ++puts;
        return S_OK;
    }
    HRESULT get_Volume(LONG* v) override {
        *v = volume;
        return S_OK;
    }
};

class WindowProc : public PlatformTest {
  protected:
    HWND window = nullptr;
    FakeAudio audio;
    void SetUp() override {
        PlatformTest::SetUp();
        ResetGame();
        musicPlayer = MusicPlayer{};
        musicPlayer.pAudio = &audio;
        hAppInstance = GameModule();
        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = MainWndProc;
        cls.hInstance = GameModule();
        cls.lpszMenuName = MAKEINTRESOURCEA(109);
        cls.lpszClassName = "QelProc";
        RegisterClassExA(&cls);
        window = CreateWindowExA(0, "QelProc", "Qel", WS_POPUP, 0, 0, 1024, 768,
                                 nullptr, nullptr, GameModule(), nullptr);
        ASSERT_NE(window, nullptr);
        hMainWindow = window;
        ShowWindow(window, SW_SHOW);
    }
    void TearDown() override {
        musicPlayer = MusicPlayer{};
        ResetGame();
        PlatformTest::TearDown();
    }
    LRESULT Key(WPARAM key) { return MainWndProc(window, WM_KEYDOWN, key, 1); }
    bool QuitWaits() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT) return msg.wParam == 0;
        return false;
    }
};

TEST_F(WindowProc, SpaceTogglesRunning) {
    EXPECT_EQ(Key(VK_SPACE), 0);
    EXPECT_TRUE(game.running);
    Key(VK_SPACE);
    EXPECT_FALSE(game.running);
}

TEST_F(WindowProc, PageUpLowersAndPageDownRaisesTheLevel) {
    Key(VK_NEXT);
    Key(VK_NEXT);
    EXPECT_EQ(game.level, 3);
    Key(VK_PRIOR);
    EXPECT_EQ(game.level, 2);
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    EXPECT_EQ(game.level, 1);
    for (int i = 0; i < 300; ++i)
        Key(VK_NEXT);
    EXPECT_EQ(game.level, 255);
}

TEST_F(WindowProc, LetterKeysHitEvenWhilePaused) {
    letters[0].text[0] = 'j';
    letters[0].y = 50;
    letters[0].alive = true;
    game.liveCount = 1;
    game.highWater = 1;
    Key('J');
    EXPECT_FALSE(letters[0].alive);
    EXPECT_EQ(game.score, 1);
}

TEST_F(WindowProc, KeypadPlusAndMinusStepTheVolumeWithinBounds) {
    Key(VK_ADD);
    EXPECT_EQ(audio.puts, 0) << "no step above full volume";
    for (int i = 0; i < 10; ++i)
        Key(VK_SUBTRACT);
    EXPECT_EQ(game.volume, -1000);
    EXPECT_EQ(audio.volume, -1000);
    Key(VK_ADD);
    EXPECT_EQ(game.volume, -900);
    for (int i = 0; i < 200; ++i)
        Key(VK_SUBTRACT);
    EXPECT_EQ(game.volume, -10000);
    EXPECT_EQ(audio.volume, -10000);
}

TEST_F(WindowProc, OtherKeysDoNothing) {
    for (WPARAM key : {(WPARAM)VK_OEM_PLUS, (WPARAM)VK_OEM_MINUS, (WPARAM)'5',
                       (WPARAM)VK_UP, (WPARAM)VK_F1, (WPARAM)VK_RETURN}) {
        EXPECT_EQ(Key(key), 0);
    }
    EXPECT_EQ(game.level, 1);
    EXPECT_FALSE(game.running);
    EXPECT_EQ(audio.puts, 0);
}

TEST_F(WindowProc, ExitDestroysTheWindowAndPostsQuitWithZero) {
    EXPECT_EQ(MainWndProc(window, WM_COMMAND, 105, 0), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(QuitWaits());
}

TEST_F(WindowProc, TheHighWordOfACommandIsNotLookedAt) {
    MainWndProc(window, WM_COMMAND, MAKELONG(105, 1), 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowProc, UnknownCommandsAndSystemKeysGoToTheDefaultProcedure) {
    EXPECT_EQ(MainWndProc(window, WM_COMMAND, 999, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    MainWndProc(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    EXPECT_FALSE(IsWindow(window)) << "Alt+F4 closes through DefWindowProcA";
}

// The About box: which key ends it and with what.
struct AboutCase {
    const char* name;
    void (*keys)();
    INT_PTR result;
};

class AboutBox : public WindowProc,
                 public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBox, EndsWithItsCommand) {
    GetParam().keys();
    INT_PTR result = DialogBoxParamA(GameModule(), MAKEINTRESOURCEA(103),
                                     window, AboutDlgProc, 0);
    EXPECT_EQ(result, GetParam().result);
    EXPECT_TRUE(IsWindow(window));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, AboutBox,
    ::testing::Values(AboutCase{"Enter", [] { TestKeyPress(VK_RETURN); }, IDOK},
                      AboutCase{"Space", [] { TestKeyPress(VK_SPACE); }, IDOK},
                      AboutCase{"Escape", [] { TestKeyPress(VK_ESCAPE); },
                                IDCANCEL},
                      AboutCase{"Close", [] { TestCloseRequest(); }, IDCANCEL},
                      AboutCase{"AltF4",
                                [] {
                                    TestKeyDown(VK_MENU);
                                    TestKeyDown(VK_F4);
                                },
                                IDCANCEL}),
    [](const ::testing::TestParamInfo<AboutCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(WindowProc, TheAboutCommandRunsTheBoxModallyAndIsDrawn) {
    static uint32_t caption, face;
    static int idles;
    idles = 0;
    TestSetModalIdle([] {
        // The box is open: nothing else runs until it ends.
        caption = TestScreenPixel(60, 45);
        face = TestScreenPixel(300, 200);
        if (++idles == 2) TestKeyPress(VK_RETURN);
    });
    EXPECT_EQ(MainWndProc(window, WM_COMMAND, 104, 0), 0);
    EXPECT_EQ(idles, 2);
    EXPECT_EQ(caption, 0x005AAAu) << "the caption bar";
    EXPECT_EQ(face, 0xF0F0F0u) << "the dialog's face";
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowProc, AboutDlgProcHandlesOnlyItsMessages) {
    EXPECT_EQ(AboutDlgProc(window, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(AboutDlgProc(window, WM_COMMAND, 3, 0), FALSE);
    EXPECT_EQ(AboutDlgProc(window, WM_KEYDOWN, VK_RETURN, 0), FALSE);
}

TEST_F(WindowProc, AMissingDialogGoesUnnoticed) {
    EXPECT_EQ(DialogBoxParamA(GameModule(), MAKEINTRESOURCEA(999), window,
                              AboutDlgProc, 0),
              -1);
}

} // namespace
