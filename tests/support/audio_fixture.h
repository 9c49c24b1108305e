// What the sound and music tests share: the game's audio as a new process
// has it, boxes recorded, files in a temporary directory, and after each
// test no sound buffer, music graph or device left behind.
#ifndef QEL_TESTS_SUPPORT_AUDIO_FIXTURE_H
#define QEL_TESTS_SUPPORT_AUDIO_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "audio/music.h"
#include "audio/sound_effects.h"
#include "audio_files.h"
#include "game/letters.h"
#include "temp_dir.h"
#include "testing/seams.h"

class AudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseDriver("dummy"); // as the tests run
        TestRecordMessageBoxes(true);
        hMainWindow = reinterpret_cast<HWND>(0x5150);
        Forget();
        CoInitialize(nullptr);
    }
    void TearDown() override {
        for (IUnknown* held :
             {(IUnknown*)musicPlayer.pControl, (IUnknown*)musicPlayer.pAudio,
              (IUnknown*)musicPlayer.pPosition, (IUnknown*)musicPlayer.pGraph})
            if (held) held->Release();
        ReleaseSoundEffects();
        CoUninitialize();
        EXPECT_EQ(TestLiveFilterGraphs() + TestLiveSoundBuffers(), 0);
        EXPECT_TRUE(UseDriver("dummy")) << "the device is let go";
        TestRecordAudio(false);
        TestClearMessageBoxes();
        hMainWindow = nullptr;
        Forget();
    }

    // No sound loaded, no device, no music, at full volume.
    static void Forget() {
        memset(soundEffects, 0, sizeof(soundEffects));
        lpDS = nullptr;
        musicPlayer = MusicPlayer{};
        game.volume = 0;
    }
    // SDL's audio `driver` for the next device opened, the audio recorded;
    // false when objects still held the device.
    static bool UseDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        bool reset = TestResetAudio();
        TestRecordAudio(true);
        return reset;
    }
    // The music as the game's start-up makes it and starts it.
    static void StartMusic(const std::string& file) {
        std::u16string wide(file.begin(), file.end());
        musicPlayer.pGraph = CreateMusicGraph(wide.c_str());
        if (!musicPlayer.pGraph) return;
        musicPlayer.pControl = QueryMediaControl(musicPlayer.pGraph);
        musicPlayer.pAudio = QueryBasicAudio(musicPlayer.pGraph);
        musicPlayer.pPosition = QueryMediaPosition(musicPlayer.pGraph);
        musicPlayer.pControl->Run();
    }
    // The boxes shown, a line "caption: text" each, marked when owned by the
    // game's window or with more than an OK button.
    static std::string Boxes() {
        std::string boxes;
        for (const TestMessageBox& box : TestMessageBoxes())
            boxes += box.caption + ": " + box.text +
                     (box.owner == hMainWindow ? " (owned)" : "") +
                     (box.type == MB_OK ? "\n" : " (not MB_OK)\n");
        return boxes;
    }

    TempDir dir;
};

#endif
