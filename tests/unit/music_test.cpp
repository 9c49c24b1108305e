// The music over the DirectShow stand-in (SDL_AUDIODRIVER=dummy), from an
// mp3 encoded in the test: the boxes when there is none, its playing and
// repetition, and the volume keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "audio_fixture.h"

namespace {

class MusicTest : public AudioTest {
  protected:
    void SetUp() override {
        AudioTest::SetUp();
        ASSERT_TRUE(audio_files::WriteSineMp3(music, 1.0)) << "lame encodes it";
    }
    static double Position() {
        REFTIME time = -1;
        musicPlayer.pPosition->get_CurrentPosition(&time);
        return time;
    }
    static void Key(WPARAM key) { MainWndProc(nullptr, WM_KEYDOWN, key, 0); }

    std::string music = dir.File("music.mp3");
};

// No music: one box, owned by the window, names the step that failed, and
// the volume keys do nothing. (Files that are no music, and no sound
// server, are the whole game's: its end-to-end tests.)
TEST_F(MusicTest, WithoutMusicOneBoxNamesTheFailedStep) {
    for (std::string step : {"RenderFile", "CoCreateInstance"}) {
        SCOPED_TRACE(step);
        TestClearMessageBoxes();
        if (step == "CoCreateInstance")
            TestFailNext(FAULT_COCREATEINSTANCE, E_FAIL);
        StartMusic(dir.File("none.mp3"));
        EXPECT_EQ(musicPlayer.pGraph, nullptr);
        EXPECT_EQ(Boxes(), "Error: DXshow " + step + " (owned)\n");
        EXPECT_EQ(TestLiveFilterGraphs(), 0);
        Key(VK_SUBTRACT);
        EXPECT_EQ(game.volume, 0);
    }
}

// The music starts from its beginning and goes back to it when the frame's
// check sends it there, near its end while it plays, or once it has played
// to its end and stands at its stop time.
TEST_F(MusicTest, PlaysFromTheStartAndAgainOnceAtItsEnd) {
    StartMusic(music);
    ASSERT_NE(musicPlayer.pPosition, nullptr);
    EXPECT_TRUE(TestMixerMusicPlaying());
    EXPECT_LT(Position(), 0.5);
    REFTIME stop = 0;
    musicPlayer.pPosition->get_StopTime(&stop);
    EXPECT_NEAR(stop, 1.0, 0.1);
    for (int wait : {30, 300}) { // times 10 ms: 0.3 s in, then to its end
        for (int i = 0; i < wait && TestMixerMusicPlaying(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(TestMixerMusicPlaying(), wait == 30);
        const double played = Position();
        EXPECT_TRUE(wait == 30 || played == stop) << played;
        musicPlayer.pPosition->put_CurrentPosition(0.0);
        EXPECT_TRUE(TestMixerMusicPlaying());
        EXPECT_LT(Position(), std::min(played, 0.5));
    }
}

// The keypad's minus and plus keys step the volume by 100 hundredths of a
// decibel between silence and full, and the mixer plays at that amplitude.
TEST_F(MusicTest, TheVolumeKeysStepTheLoudness) {
    StartMusic(music);
    ASSERT_NE(musicPlayer.pAudio, nullptr);
    struct Step {
        int minus, plus;
        LONG volume;
        int mixer; // 128 * 10^(volume / 2000)
    } steps[] = {{0, 1, 0, 128},   {6, 0, -600, 64},   {4, 0, -1000, 40},
                 {0, 1, -900, 45}, {11, 0, -2000, 13}, {90, 0, -10000, 0},
                 {0, 1, -9900, 0}, {0, 120, 0, 128}};
    for (const Step& s : steps) {
        for (int i = 0; i < s.minus; ++i)
            Key(VK_SUBTRACT);
        for (int i = 0; i < s.plus; ++i)
            Key(VK_ADD);
        EXPECT_EQ(game.volume, s.volume);
        EXPECT_EQ(TestMixerMusicVolume(), s.mixer) << s.volume;
    }
}

} // namespace
