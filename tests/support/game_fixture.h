// The game in process as a new process has it, in a folder of its data
// files: a 320 by 160 picture (its left third white) and the two sounds, no
// music.mp3. `Game` as WinMain finds it; `StartedGame` with the window,
// surfaces and sounds InitApplication makes, all let go at the end.
#ifndef QEL_TESTS_GAME_FIXTURE_H
#define QEL_TESTS_GAME_FIXTURE_H

#include <cstring>
#include <memory>

#include "app/app.h"
#include "audio/music.h"
#include "audio_files.h"
#include "display/display.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "temp_dir.h"
#include "testing/seams.h"

class Game : public PlatformTest {
  protected:
    TempDir dir;
    std::unique_ptr<WorkingDirectory> here;

    void SetUp() override {
        using namespace audio_files;
        PlatformTest::SetUp();
        TestResetDirectDraw();
        ResetGame();
        musicPlayer = MusicPlayer{};
        lpDD = nullptr, lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
        ASSERT_TRUE(dir.WriteJpeg("finger.jpg", 320, 160, 0x287828));
        for (const char* wav : {"damage_axe.wav", "item_specialdrop.wav"})
            ASSERT_TRUE(WriteBytes(dir.File(wav), SimpleWave(Samples(400))));
        here.reset(new WorkingDirectory(dir.path));
    }
    void TearDown() override {
        here.reset();
        ResetGame();
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio()) << "no audio object outlives the test";
        PlatformTest::TearDown();
    }
};

class StartedGame : public Game {
  protected:
    void SetUp() override {
        Game::SetUp();
        strcpy(szAppClass, "QelTest");
        RegisterMainWindowClass(GameModule());
        ASSERT_TRUE(InitApplication(GameModule(), SW_SHOW));
    }
    void TearDown() override {
        ReleaseAll();
        Game::TearDown();
    }
};

#endif
