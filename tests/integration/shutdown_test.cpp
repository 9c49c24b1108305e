// The end of a session that had its music: the shutdown, and a start-up that
// fails, let go of every interface of the filter graph, so the graph is gone
// and the music stopped before the process ends (a graph still there at the
// process end brings the Windows build down under Wine).
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "audio_files.h"
#include "app/app.h"
#include "audio/music.h"
#include "display/display.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "testing/audio.h"
#include "testing/ddraw.h"

namespace {

class ShutdownTest : public PlatformTest {
  protected:
    std::string dir, previous;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        ASSERT_TRUE(TestResetAudio());
        ResetGame();
        musicPlayer = MusicPlayer{};
        lpDD = nullptr;
        lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
        hMainWindow = nullptr;
        char tmpl[] = "/tmp/qel-shutdown.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        previous = cwd;

        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(
            0, 64, 32, 32, SDL_PIXELFORMAT_RGB888);
        ASSERT_NE(picture, nullptr);
        SDL_FillRect(picture, nullptr, 0x336699);
        int saved = IMG_SaveJPG(picture, (dir + "/finger.jpg").c_str(), 90);
        SDL_FreeSurface(picture);
        ASSERT_EQ(saved, 0);
        ASSERT_TRUE(audio_files::WriteSineMp3(dir + "/music.mp3", 1.0))
            << "the lame command encodes the music";
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }

    void TearDown() override {
        EXPECT_EQ(chdir(previous.c_str()), 0);
        std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        ResetGame();
        musicPlayer = MusicPlayer{};
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio()) << "no audio object outlives the test";
        PlatformTest::TearDown();
    }

    int Run() {
        char commandLine[] = "";
        return WinMain(GameModule(), nullptr, commandLine, SW_SHOWDEFAULT);
    }
};

TEST_F(ShutdownTest, ClosingReleasesTheWholeMusicGraph) {
    TestKeyPress(VK_SPACE);
    TestCloseRequest();
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(TestMessageBoxes().empty()) << "the music was there";
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
    EXPECT_FALSE(TestMixerMusicPlaying());
}

TEST_F(ShutdownTest, EscapeReleasesTheWholeMusicGraph) {
    TestSetKeyState(VK_ESCAPE, true);
    EXPECT_EQ(Run(), 0);
    TestSetKeyState(VK_ESCAPE, false);
    EXPECT_TRUE(IsWindow(hMainWindow)) << "the process takes the window away";
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
    EXPECT_FALSE(TestMixerMusicPlaying());
}

TEST_F(ShutdownTest, AFailedStartUpReleasesTheMusicGraphToo) {
    ASSERT_EQ(std::remove("finger.jpg"), 0);
    EXPECT_EQ(Run(), 0);
    ASSERT_FALSE(TestMessageBoxes().empty());
    EXPECT_EQ(TestMessageBoxes().back().text, "CreateSurface lpDDbmp1");
    EXPECT_FALSE(IsWindowVisible(hMainWindow));
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
    EXPECT_EQ(musicPlayer.pGraph, nullptr);
    ReleaseAll(); // what the end of the process would take away
}

} // namespace
