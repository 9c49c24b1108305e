// The music over the DirectShow stand-in (SDL_AUDIODRIVER=dummy), from an
// mp3 encoded in the test: the boxes when there is none, its playing and
// repetition, and the volume keys.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "audio/music.h"
#include "audio_files.h"
#include "game/letters.h"
#include "temp_dir.h"
#include "testing/seams.h"

using namespace audio_files;

namespace {

class MusicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteSineMp3(music, 1.0)) << "lame encodes the music";
        TestResetAudio();
        TestRecordMessageBoxes(true);
        hMainWindow = reinterpret_cast<HWND>(0x5150);
        CoInitialize(nullptr);
    }
    void TearDown() override {
        for (IUnknown* held :
             std::vector<IUnknown*>{musicPlayer.pControl, musicPlayer.pAudio,
                                    musicPlayer.pPosition, musicPlayer.pGraph})
            if (held) held->Release();
        musicPlayer = MusicPlayer{};
        game.volume = 0;
        hMainWindow = nullptr;
        CoUninitialize();
        TestClearMessageBoxes();
        EXPECT_EQ(TestLiveFilterGraphs(), 0);
        EXPECT_TRUE(TestResetAudio()) << "the music lets go of the device";
    }

    // The music as the game's start-up makes it and starts it.
    static void StartUp(const std::string& file) {
        std::u16string wide(file.begin(), file.end());
        musicPlayer.pGraph = CreateMusicGraph(wide.c_str());
        if (!musicPlayer.pGraph) return;
        musicPlayer.pControl = QueryMediaControl(musicPlayer.pGraph);
        musicPlayer.pAudio = QueryBasicAudio(musicPlayer.pGraph);
        musicPlayer.pPosition = QueryMediaPosition(musicPlayer.pGraph);
        musicPlayer.pControl->Run();
    }
    static double Position() {
        REFTIME time = -1;
        musicPlayer.pPosition->get_CurrentPosition(&time);
        return time;
    }
    static void Key(WPARAM key) { MainWndProc(nullptr, WM_KEYDOWN, key, 0); }
    static std::vector<std::string> Boxes() {
        std::vector<std::string> boxes;
        for (const TestMessageBox& box : TestMessageBoxes())
            boxes.push_back(box.caption + ": " + box.text +
                            (box.owner == hMainWindow ? "" : " (not owned)"));
        return boxes;
    }

    TempDir dir;
    std::string music = dir.File("music.mp3");
};

// No music: one box, owned by the window, names the step that failed, and
// the volume keys do nothing. (Files that are no music, and no sound
// server, are the whole game's: its end-to-end tests.)
TEST_F(MusicTest, WithoutMusicOneBoxNamesTheFailedStep) {
    for (bool graph : {true, false}) {
        SCOPED_TRACE(graph);
        TestResetAudio();
        TestClearMessageBoxes();
        if (!graph) TestFailNext(FAULT_COCREATEINSTANCE, E_FAIL);
        StartUp(dir.File("none.mp3"));
        EXPECT_EQ(musicPlayer.pGraph, nullptr);
        EXPECT_EQ(Boxes(), std::vector<std::string>{
                               graph ? "Error: DXshow RenderFile"
                                     : "Error: DXshow CoCreateInstance"});
        EXPECT_EQ(TestLiveFilterGraphs(), 0);
        Key(VK_SUBTRACT);
        EXPECT_EQ(game.volume, 0);
    }
}

// The music starts from its beginning and goes back to it when the frame's
// check sends it there, near its end while it plays, or once it has played
// to its end and stands at its stop time.
TEST_F(MusicTest, PlaysFromTheStartAndAgainOnceAtItsEnd) {
    StartUp(music);
    ASSERT_NE(musicPlayer.pPosition, nullptr);
    EXPECT_TRUE(TestMixerMusicPlaying());
    EXPECT_LT(Position(), 0.5);
    REFTIME stop = 0;
    musicPlayer.pPosition->get_StopTime(&stop);
    EXPECT_NEAR(stop, 1.0, 0.1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    double played = Position();
    musicPlayer.pPosition->put_CurrentPosition(0.0);
    EXPECT_TRUE(TestMixerMusicPlaying());
    EXPECT_LT(Position(), played);

    for (int i = 0; i < 300 && TestMixerMusicPlaying(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(TestMixerMusicPlaying());
    EXPECT_EQ(Position(), stop);
    musicPlayer.pPosition->put_CurrentPosition(0.0);
    EXPECT_TRUE(TestMixerMusicPlaying());
    EXPECT_LT(Position(), 0.5);
}

// The keypad's minus and plus keys step the volume by 100 hundredths of a
// decibel between silence and full, and the mixer plays at that amplitude.
TEST_F(MusicTest, TheVolumeKeysStepTheLoudness) {
    StartUp(music);
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
