// The game's window: its keys, what closes it, its menu and the About box,
// typed as SDL events into the game's loop and MainWndProc.
#include <gtest/gtest.h>

#include "app/app.h"
#include "case_name.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "sdl_events.h"

namespace {

class GameWindow : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ResetGame();
        hAppInstance = GameModule();
        hMainWindow = MakeWindow(MainWndProc);
    }
};

// Typed: Page Down raises the level and Page Up lowers it, '=' does
// nothing, Space starts; then Space pauses and letters still hit.
TEST_F(GameWindow, KeysChangeTheLevelPauseAndHitLetters) {
    PushKeys("DDDU=S");
    EXPECT_EQ(RunLoop(), -1);
    EXPECT_EQ(game.level, 3);
    EXPECT_TRUE(game.running);
    letters[0] = LetterSlot{"a", 3, 100, 50, 10, 10, true};
    letters[1] = LetterSlot{"z", 3, 200, 50, 10, 10, true};
    game.liveCount = game.highWater = 2;
    PushKeys("Saz");
    EXPECT_EQ(RunLoop(), -1);
    EXPECT_FALSE(game.running);
    EXPECT_EQ(game.score, 2);
}

struct Input {
    const char* name;
    const char* keys;   // typed as sdl_events.h writes them
    const char* atIdle; // typed at a modal loop's second idle pass
    bool about;         // the About box comes up, else the open menu if any
    int exitCode;       // of the WM_QUIT, or -1 while the game goes on
};

class Inputs : public GameWindow,
               public ::testing::WithParamInterface<Input> {};

// A modal loop's picture at (60, 45), at its first idle pass: the About
// box's caption bar, or the open popup's chosen first item; and the About
// box's 32 by 32 icon, inked where the face would be plain, with the face
// around it in the 40 by 40 square looked at.
TEST_P(Inputs, EndTheGameOrChooseFromTheMenu) {
    const Input& c = GetParam();
    int records = TestWindowRecords();
    uint32_t shown = 0;
    int iconInk = 0;
    modalFeed = [&](int pass) {
        if (pass == 2) PushKeys(c.atIdle);
        if (pass != 1) return;
        shown = TestScreenPixel(60, 45);
        for (int y = 75; y < 115; ++y)
            for (int x = 60; x < 100; ++x)
                iconInk += TestScreenPixel(x, y) != 0xF0F0F0;
    };
    PushKeys(c.keys);
    EXPECT_EQ(RunLoop(), c.exitCode);
    EXPECT_EQ(IsWindow(hMainWindow), c.exitCode < 0);
    EXPECT_EQ(modalPasses, *c.atIdle ? 2 : 0) << "open until its key came";
    EXPECT_EQ(shown, !*c.atIdle ? 0u : c.about ? 0x005AAAu : 0x0078D7u);
    EXPECT_TRUE(!c.about || (iconInk > 800 && iconInk <= 32 * 32))
        << "the About box's icon, and the face around it: " << iconInk;
    EXPECT_EQ(TestScreenPixel(60, 45), 0u) << "gone from the screen";
    EXPECT_EQ(TestWindowRecords(), records) << "no window left behind";
}

INSTANTIATE_TEST_SUITE_P(
    , Inputs,
    ::testing::Values(
        Input{"CloseRequestEndsTheGame", "W", "", false, 0},
        Input{"AltF4EndsTheGame", "[4", "", false, 0},
        Input{"FileExitEndsTheGame", "[f]x", "", false, 0},
        Input{"FileMenuLeftByEscape", "[f]", "X", false, -1},
        Input{"MenuBarHelpAboutLeftByEscape", "0>EE", "X", true, -1},
        Input{"AboutBoxEndedByEnter", "[h]a", "E", true, -1},
        Input{"AboutBoxEndedBySpace", "[h]a", "S", true, -1},
        Input{"AboutBoxEndedByEscape", "[h]a", "X", true, -1},
        Input{"AboutBoxEndedByTheCloseRequest", "[h]a", "W", true, -1},
        Input{"AboutBoxEndedByAltF4", "[h]a", "[4", true, -1}),
    CaseName());

} // namespace
