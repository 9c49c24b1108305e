// The sound table: InitSoundEffects, LoadSoundEffect, PlaySoundEffect and
// ReleaseSoundEffects over the DirectSound stand-in (SDL_AUDIODRIVER=dummy)
// and WAV files written into a temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "audio/sound_effects.h"
#include "audio_files.h"
#include "testing/fault.h"
#include "testing/audio.h"
#include "testing/user.h"

using namespace audio_files;

namespace {

class SoundEffectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestResetAudio();
        TestRecordAudio(true);
        TestRecordMessageBoxes(true);
        TestClearMessageBoxes();
        ForgetTable();
        savedWindow = hMainWindow;
        hMainWindow = reinterpret_cast<HWND>(0x5150);
        hitFile = dir.File("damage_axe.wav");
        levelUpFile = dir.File("item_specialdrop.wav");
        ASSERT_TRUE(WriteBytes(hitFile, SimpleWave(Samples(4 * 2205))));
        ASSERT_TRUE(WriteBytes(levelUpFile, SimpleWave(Samples(4 * 4410))));
    }
    void TearDown() override {
        if (!released) ReleaseSoundEffects();
        ForgetTable();
        hMainWindow = savedWindow;
        TestClearMessageBoxes();
        EXPECT_EQ(TestLiveSoundBuffers(), 0);
        EXPECT_EQ(TestMmioOpenHandles(), 0);
        EXPECT_TRUE(TestResetAudio());
    }

    // A new process's table: all zero, no device.
    static void ForgetTable() {
        memset(soundEffects, 0, sizeof(soundEffects));
        lpDS = nullptr;
        hitSound = -1;
        levelUpSound = -1;
    }
    void Release() {
        EXPECT_EQ(ReleaseSoundEffects(), 1);
        released = true;
    }

    TempDir dir;
    std::string hitFile;
    std::string levelUpFile;
    bool released = false;
    HWND savedWindow = nullptr;
};

TEST_F(SoundEffectsTest, InitClearsTheTableAndNumbersTheEntries) {
    soundEffects[7].inUse = 1;
    soundEffects[7].size = 99;
    ASSERT_EQ(InitSoundEffects(), 1);
    EXPECT_NE(lpDS, nullptr);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(soundEffects[i].buffer, nullptr);
        ASSERT_EQ(soundEffects[i].inUse, 0);
        ASSERT_EQ(soundEffects[i].size, 0u);
        ASSERT_EQ(soundEffects[i].index, i);
    }
    EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST_F(SoundEffectsTest, BothSoundsLoadIntoEntriesZeroAndOne) {
    ASSERT_EQ(InitSoundEffects(), 1);
    ASSERT_EQ(WriteBytes(levelUpFile, SimpleWave(Samples(600), 1, 22050, 8)),
              true);
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), 0);
    EXPECT_EQ(LoadSoundEffect(levelUpFile.c_str()), 1);
    EXPECT_NE(soundEffects[0].buffer, nullptr);
    EXPECT_NE(soundEffects[1].buffer, nullptr);
    EXPECT_EQ(soundEffects[0].inUse, 1);
    EXPECT_EQ(soundEffects[0].sampleRate, 11025u);
    EXPECT_EQ(soundEffects[0].size, 4u * 2205);
    // 8-bit mono at 22050 Hz loads; its bytes become a 16-bit stereo buffer.
    EXPECT_EQ(soundEffects[1].sampleRate, 22050u);
    EXPECT_EQ(soundEffects[1].size, 600u);
    EXPECT_EQ(soundEffects[2].inUse, 0);

    // The shared records hold the fixed format and the last load's size.
    EXPECT_EQ(soundFormat.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(soundFormat.nChannels, 2);
    EXPECT_EQ(soundFormat.nSamplesPerSec, 11025u);
    EXPECT_EQ(soundFormat.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(soundFormat.nBlockAlign, 4);
    EXPECT_EQ(soundFormat.wBitsPerSample, 16);
    EXPECT_EQ(soundFormat.cbSize, 0);
    EXPECT_EQ(soundBufferDesc.dwSize, sizeof(DSBUFFERDESC));
    EXPECT_EQ(soundBufferDesc.dwFlags, 0xEAu);
    EXPECT_EQ(soundBufferDesc.dwBufferBytes, 600u);
    EXPECT_EQ(soundBufferDesc.lpwfxFormat, &soundFormat);
    EXPECT_EQ(soundBufferDesc.guid3DAlgorithm, GUID_NULL);
}

TEST_F(SoundEffectsTest, AFailedReadLeavesItsEntryFree) {
    ASSERT_EQ(InitSoundEffects(), 1);
    EXPECT_EQ(LoadSoundEffect(dir.File("missing.wav").c_str()), -1);
    EXPECT_EQ(soundEffects[0].inUse, 0);
    EXPECT_EQ(LoadSoundEffect(levelUpFile.c_str()), 0);
}

TEST_F(SoundEffectsTest, AFailedBufferKeepsItsEntryTaken) {
    ASSERT_EQ(InitSoundEffects(), 1);
    TestFailNext(FAULT_CREATESOUNDBUFFER, DSERR_OUTOFMEMORY);
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), -1);
    EXPECT_EQ(soundEffects[0].inUse, 1);
    EXPECT_EQ(soundEffects[0].buffer, nullptr);
    EXPECT_EQ(LoadSoundEffect(levelUpFile.c_str()), 1);
    // Nothing to play, nothing to crash on.
    PlaySoundEffect(0);
    EXPECT_TRUE(TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY).empty());
}

TEST_F(SoundEffectsTest, AFailedLockOrUnlockKeepsTheBufferForShutdown) {
    ASSERT_EQ(InitSoundEffects(), 1);
    TestFailNext(FAULT_LOCK, DSERR_INVALIDCALL);
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), -1);
    EXPECT_EQ(soundEffects[0].inUse, 1);
    EXPECT_NE(soundEffects[0].buffer, nullptr);
    TestFailNext(FAULT_UNLOCK, DSERR_INVALIDCALL);
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), -1);
    EXPECT_NE(soundEffects[1].buffer, nullptr);
    EXPECT_EQ(LoadSoundEffect(levelUpFile.c_str()), 2);
    EXPECT_EQ(TestLiveSoundBuffers(), 3);
    Release();
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
}

TEST_F(SoundEffectsTest, ADataChunkOfSizeZeroGetsNoBuffer) {
    ASSERT_EQ(InitSoundEffects(), 1);
    ASSERT_TRUE(WriteBytes(hitFile, SimpleWave(Bytes{})));
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), -1);
    EXPECT_EQ(soundEffects[0].inUse, 1);
    EXPECT_EQ(soundEffects[0].buffer, nullptr);
}

TEST_F(SoundEffectsTest, The257thLoadFailsWithoutOpeningItsFile) {
    ASSERT_EQ(InitSoundEffects(), 1);
    ASSERT_TRUE(WriteBytes(hitFile, SimpleWave(Samples(64))));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(LoadSoundEffect(hitFile.c_str()), i);
    EXPECT_EQ(TestLiveSoundBuffers(), 256);
    EXPECT_EQ(TestMixerChannels(), 256);
    int opened = TestMmioOpenCalls();
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), -1);
    EXPECT_EQ(TestMmioOpenCalls(), opened);
}

TEST_F(SoundEffectsTest, TheSameFileTwiceTakesTwoEntriesWithTwoBuffers) {
    ASSERT_EQ(InitSoundEffects(), 1);
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), 0);
    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), 1);
    EXPECT_NE(soundEffects[0].buffer, soundEffects[1].buffer);
    EXPECT_EQ(TestLiveSoundBuffers(), 2);
}

TEST_F(SoundEffectsTest, AHitWhileTheSoundPlaysDoesNotRestartIt) {
    ASSERT_EQ(InitSoundEffects(), 1);
    hitSound = LoadSoundEffect(hitFile.c_str());
    ASSERT_EQ(hitSound, 0);
    PlaySoundEffect(hitSound);
    PlaySoundEffect(hitSound);
    std::vector<AudioEvent> plays = TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].object, soundEffects[0].buffer);
    EXPECT_TRUE(plays[0].started);
    EXPECT_EQ(plays[1].object, soundEffects[0].buffer);
    EXPECT_FALSE(plays[1].started);
    EXPECT_EQ(TestLiveSoundBuffers(), 1);
}

TEST_F(SoundEffectsTest, ALevelUpHitStartsBothSoundsHitFirst) {
    ASSERT_EQ(InitSoundEffects(), 1);
    hitSound = LoadSoundEffect(hitFile.c_str());
    levelUpSound = LoadSoundEffect(levelUpFile.c_str());
    PlaySoundEffect(hitSound);
    PlaySoundEffect(levelUpSound);
    std::vector<AudioEvent> plays = TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].object, soundEffects[0].buffer);
    EXPECT_EQ(plays[1].object, soundEffects[1].buffer);
    EXPECT_TRUE(plays[0].started && plays[1].started);
    DWORD hit = 0, levelUp = 0;
    soundEffects[0].buffer->GetStatus(&hit);
    soundEffects[1].buffer->GetStatus(&levelUp);
    EXPECT_EQ(hit, DWORD(DSBSTATUS_PLAYING));
    EXPECT_EQ(levelUp, DWORD(DSBSTATUS_PLAYING));
}

TEST_F(SoundEffectsTest, PlayingMinusOneDoesNothing) {
    ASSERT_EQ(InitSoundEffects(), 1);
    PlaySoundEffect(-1);
    EXPECT_TRUE(TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY).empty());
}

TEST_F(SoundEffectsTest, WithoutASoundDeviceTheGameGoesOnSilently) {
    std::string before = getenv("SDL_AUDIODRIVER");
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(InitSoundEffects(), 0);
    setenv("SDL_AUDIODRIVER", before.c_str(), 1);
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    EXPECT_EQ(TestMessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(TestMessageBoxes()[0].text, "DirectSoundCreate8");
    EXPECT_EQ(TestMessageBoxes()[0].caption, "ERROR");
    EXPECT_EQ(TestMessageBoxes()[0].type, UINT(MB_OK));
    EXPECT_EQ(lpDS, nullptr);

    EXPECT_EQ(LoadSoundEffect(hitFile.c_str()), -1);
    EXPECT_EQ(LoadSoundEffect(levelUpFile.c_str()), -1);
    EXPECT_EQ(TestMmioOpenCalls(), 0);
    PlaySoundEffect(-1);
    Release();
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
    EXPECT_EQ(TestMessageBoxes().size(), 1u);
}

TEST_F(SoundEffectsTest, ARefusedCooperativeLevelKeepsTheDevice) {
    TestFailNext(FAULT_DSOUND_SETCOOPERATIVELEVEL, DSERR_INVALIDPARAM);
    soundEffects[3].index = 77; // the table is left as it was
    EXPECT_EQ(InitSoundEffects(), 0);
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    EXPECT_EQ(TestMessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(TestMessageBoxes()[0].text, "SetCooperativeLevel");
    EXPECT_EQ(TestMessageBoxes()[0].caption, "ERROR");
    EXPECT_NE(lpDS, nullptr);
    EXPECT_EQ(soundEffects[3].index, 77);
    EXPECT_EQ(TestAudioDeviceUsers(), 1);
    Release();
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
}

TEST_F(SoundEffectsTest, ReleaseLetsGoOfEveryBufferAndTheDevice) {
    ASSERT_EQ(InitSoundEffects(), 1);
    LoadSoundEffect(hitFile.c_str());
    LoadSoundEffect(levelUpFile.c_str());
    PlaySoundEffect(0);
    EXPECT_EQ(TestAudioDeviceUsers(), 3);
    Release();
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
}

} // namespace
