// WinMain in process: start-up, the main loop and the shutdown over the
// stand-in, with scripted input and the data files written by the test.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/app.h"
#include "audio/music.h"
#include "audio/sound_effects.h"
#include "display/display.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "testing/fault.h"
#include "testing/audio.h"
#include "testing/ddraw.h"

namespace {

// A 16-bit stereo 11025 Hz WAV of `frames` frames of silence.
void WriteWave(const std::string& path, uint32_t frames) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    uint32_t data = frames * 4, riff = 36 + data, fmtSize = 16, rate = 11025,
             bytesPerSec = 44100;
    uint16_t tag = 1, channels = 2, align = 4, bits = 16;
    std::fwrite("RIFF", 1, 4, f);
    std::fwrite(&riff, 4, 1, f);
    std::fwrite("WAVEfmt ", 1, 8, f);
    std::fwrite(&fmtSize, 4, 1, f);
    std::fwrite(&tag, 2, 1, f);
    std::fwrite(&channels, 2, 1, f);
    std::fwrite(&rate, 4, 1, f);
    std::fwrite(&bytesPerSec, 4, 1, f);
    std::fwrite(&align, 2, 1, f);
    std::fwrite(&bits, 2, 1, f);
    std::fwrite("data", 1, 4, f);
    std::fwrite(&data, 4, 1, f);
    std::string zeros(data, '\0');
    std::fwrite(zeros.data(), 1, zeros.size(), f);
    std::fclose(f);
}

// A 200 by 100 picture: white with a black bar.
void WritePicture(const std::string& path) {
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, 200, 100, 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, 0xFFFFFF);
    SDL_Rect bar = {20, 40, 160, 20};
    SDL_FillRect(s, &bar, 0x000000);
    ASSERT_EQ(IMG_SaveJPG(s, path.c_str(), 95), 0);
    SDL_FreeSurface(s);
}

class Session : public PlatformTest {
  protected:
    std::string dir, previous;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        TestResetAudio();
        ResetGame();
        musicPlayer = MusicPlayer{};
        lpDD = nullptr;
        lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
        hMainWindow = nullptr;
        char tmpl[] = "/tmp/qel-session.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        previous = cwd;
        WritePicture(dir + "/finger.jpg");
        WriteWave(dir + "/damage_axe.wav", 1000);
        WriteWave(dir + "/item_specialdrop.wav", 2000);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }

    void TearDown() override {
        EXPECT_EQ(chdir(previous.c_str()), 0);
        std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        ResetGame();
        musicPlayer = MusicPlayer{};
        PlatformTest::TearDown();
    }

    int Run() {
        char commandLine[] = "--ignored --options";
        return WinMain(GameModule(), nullptr, commandLine, SW_SHOWDEFAULT);
    }

    std::vector<std::string> Boxes() {
        std::vector<std::string> out;
        for (const TestMessageBox& box : TestMessageBoxes())
            out.push_back(box.caption + ": " + box.text);
        return out;
    }
};

TEST_F(Session, AScriptedSessionPlaysAndEndsWithZero) {
    TestKeyPress(VK_SPACE);
    TestKeyPress(VK_NEXT);
    TestKeyPress(VK_NEXT);
    TestKeyPress(VK_PRIOR);
    TestCloseRequest();
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(game.running);
    EXPECT_EQ(game.level, 2);
    EXPECT_FALSE(IsWindow(hMainWindow));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Error: DXshow RenderFile"})
        << "no music.mp3 here";
    EXPECT_EQ(TestLiveDirectDrawObjects(), 0) << "the shutdown released it";
    EXPECT_EQ(TestLiveSurfaces(), 0);
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
    EXPECT_EQ(hitSound, 0);
    EXPECT_EQ(levelUpSound, 1);
}

TEST_F(Session, OneMessageIsTakenPerPassAndQuitEndsBeforeThatPassesFrame) {
    for (int i = 0; i < 5; ++i)
        PostMessageA(nullptr, WM_USER + i, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(TestFlipCount(), 5);
}

TEST_F(Session, TheExitCommandsPassStillRunsItsFrame) {
    // Passes: Alt down, F down (its WM_SYSCHAR queued), WM_SYSCHAR opens the
    // menu, which takes the keys up to X and posts Exit; the Exit pass
    // destroys the window and still runs its frame; the next pass takes
    // WM_QUIT, ahead of the X key's release, and runs none.
    TestKeyDown(VK_MENU);
    TestKeyPress('F');
    TestKeyUp(VK_MENU);
    TestKeyPress('X');
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(IsWindow(hMainWindow));
    EXPECT_EQ(TestFlipCount(), 4);
}

TEST_F(Session, EscapeQuitsWithTheWindowStillThere) {
    TestSetKeyState(VK_ESCAPE, true);
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(IsWindow(hMainWindow)) << "the process takes it away";
    EXPECT_EQ(TestFlipCount(), 1) << "the pass that saw Escape was shown";
    TestSetKeyState(VK_ESCAPE, false);
}

TEST_F(Session, WithoutDirectDrawNothingRunsAndTheExitCodeIsZero) {
    TestFailNext(FAULT_DIRECTDRAWCREATE, DDERR_NODIRECTDRAWHW);
    TestKeyPress(VK_SPACE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Error: DXshow RenderFile",
                                                 "Error: DirectDrawCreate"}));
    EXPECT_FALSE(IsWindowVisible(hMainWindow));
    EXPECT_EQ(TestFlipCount(), 0);
    EXPECT_FALSE(game.running) << "no message was taken";
    ReleaseAll(); // what the end of the process would take away
}

TEST_F(Session, AMissingPictureStopsTheStartUp) {
    std::remove("finger.jpg");
    EXPECT_EQ(Run(), 0);
    std::vector<std::string> boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "Error: CreateSurface lpDDbmp1");
    EXPECT_FALSE(IsWindowVisible(hMainWindow));
    EXPECT_EQ(TestFlipCount(), 0);
    ReleaseAll(); // what the end of the process would take away
}

TEST_F(Session, MissingSoundsCostOnlyTheSounds) {
    std::remove("damage_axe.wav");
    TestKeyPress(VK_SPACE);
    TestCloseRequest();
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(hitSound, -1);
    EXPECT_EQ(levelUpSound, 0) << "the failed read left entry 0 free";
    EXPECT_TRUE(game.running);
}

} // namespace
