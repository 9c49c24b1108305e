// The sound effects over the DirectSound stand-in (SDL_AUDIODRIVER=dummy),
// loaded from WAV files written into a temporary directory: what a load
// makes of a file, how the sounds play, and the game without a device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "audio/music.h"
#include "audio/sound_effects.h"
#include "audio_files.h"
#include "temp_dir.h"
#include "testing/seams.h"

using namespace audio_files;

namespace {

class SoundEffectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestResetAudio();
        TestRecordAudio(true);
        TestRecordMessageBoxes(true);
        ForgetTable();
    }
    void TearDown() override {
        ShutDown();
        setenv("SDL_AUDIODRIVER", "dummy", 1); // as the tests run

        TestClearMessageBoxes();
    }

    // The table as a new process has it: nothing loaded, no device.
    static void ForgetTable() {
        memset(soundEffects, 0, sizeof(soundEffects));
        lpDS = nullptr;
    }
    // The game's shutdown, which leaves no buffer and no device behind.
    static void ShutDown() {
        ReleaseSoundEffects();
        ForgetTable();
        EXPECT_EQ(TestLiveSoundBuffers(), 0);
        EXPECT_TRUE(TestResetAudio()) << "the device is let go";
    }
    int32_t Load(const char* name, const Bytes& wave) {
        EXPECT_TRUE(WriteBytes(dir.File(name), wave));
        return LoadSoundEffect(dir.File(name).c_str());
    }
    static std::vector<AudioEvent> Plays() {
        return TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY);
    }

    TempDir dir;
};

// Each file's bytes go as they are into a buffer of the one format the
// device takes, 16-bit stereo at 11025 Hz, which the mixer plays at 44100.
TEST_F(SoundEffectsTest, ALoadPutsTheFileIntoABufferOfTheFixedFormat) {
    ASSERT_EQ(InitSoundEffects(), 1);
    Bytes stereo = Samples(4 * 2205), mono8 = Samples(601);
    EXPECT_EQ(Load("a.wav", SimpleWave(stereo)), 0);
    EXPECT_EQ(Load("b.wav", SimpleWave(mono8, 1, 22050, 8)), 1);
    for (int i : {0, 1}) {
        const Bytes& bytes = i == 0 ? stereo : mono8;
        LPDIRECTSOUNDBUFFER buffer = soundEffects[i].buffer;
        ASSERT_NE(buffer, nullptr);
        // Read back through a lock of its own (no Unlock: nothing changed).
        LPVOID held = nullptr, none = nullptr;
        DWORD heldBytes = 0, noneBytes = 0;
        ASSERT_EQ(buffer->Lock(0, DWORD(bytes.size()), &held, &heldBytes, &none,
                               &noneBytes, DSBLOCK_FROMWRITECURSOR),
                  DS_OK);
        const uint8_t* start = static_cast<const uint8_t*>(held);
        EXPECT_EQ(Bytes(start, start + heldBytes), bytes);
        // Four times the frames, the last one padded, of four bytes each.
        double frames = double((bytes.size() + 3) / 4);
        EXPECT_NEAR(TestBufferConvertedBytes(buffer) / (16 * frames), 1, 0.02);
    }
}

// A file that cannot be read leaves its entry free for the next load; one
// whose buffer cannot be made (no samples) keeps it.
TEST_F(SoundEffectsTest, AFailedLoadGivesMinusOne) {
    ASSERT_EQ(InitSoundEffects(), 1);
    EXPECT_EQ(LoadSoundEffect(dir.File("missing.wav").c_str()), -1);
    EXPECT_EQ(Load("empty.wav", SimpleWave({})), -1);
    EXPECT_EQ(Load("a.wav", SimpleWave(Samples(64))), 1);
}

// A hit while its sound plays does not restart it; the level-up sound plays
// beside it; once played out, the hit sound starts again.
TEST_F(SoundEffectsTest, ASoundPlayingGoesOnAndPlaysAgainOnceOver) {
    ASSERT_EQ(InitSoundEffects(), 1);
    hitSound = Load("hit.wav", SimpleWave(Samples(4 * 2205)));     // 0.2 s
    levelUpSound = Load("up.wav", SimpleWave(Samples(4 * 11025))); // 1 s
    PlaySoundEffect(hitSound);
    PlaySoundEffect(hitSound);
    PlaySoundEffect(levelUpSound);
    PlaySoundEffect(hitSound);
    std::vector<AudioEvent> plays = Plays();
    ASSERT_EQ(plays.size(), 4u);
    const void* hit = soundEffects[hitSound].buffer;
    const void* levelUp = soundEffects[levelUpSound].buffer;
    EXPECT_TRUE(plays[0].object == hit && plays[0].started);
    EXPECT_TRUE(plays[1].object == hit && !plays[1].started);
    EXPECT_TRUE(plays[2].object == levelUp && plays[2].started);
    EXPECT_TRUE(plays[3].object == hit && !plays[3].started);

    for (int i = 0; i < 300 && !Plays().back().started; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        PlaySoundEffect(hitSound);
    }
    EXPECT_TRUE(Plays().back().object == hit && Plays().back().started);
}

// Whether `done` comes true within `seconds`, looked at every 10 ms.
bool Within(double seconds, const std::function<bool()>& done) {
    for (int i = 0; i < int(seconds * 100) && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// The hit sound played over the music with SDL's `driver`: whether the
// sounds' own device runs, only while the sound plays, and how many passes
// a second the music's device makes at most (0: not looked at).
void PlayOverTheMusic(const char* driver, bool ownDevice, int musicPasses,
                      const TempDir& dir) {
    setenv("SDL_AUDIODRIVER", driver, 1); // dummy again at TearDown
    std::string mp3 = dir.File("music.mp3"), wave = dir.File("hit.wav");
    ASSERT_TRUE(WriteSineMp3(mp3, 8.0)) << "lame encodes the music";
    ASSERT_TRUE(WriteBytes(wave, SimpleWave(Samples(4 * 2205)))); // 0.2 s
    ASSERT_TRUE(TestResetAudio());
    TestRecordAudio(true);
    CoInitialize(nullptr);
    std::u16string wide(mp3.begin(), mp3.end());
    IGraphBuilder* graph = CreateMusicGraph(wide.c_str());
    IMediaControl* control = graph ? QueryMediaControl(graph) : nullptr;
    ASSERT_TRUE(control && control->Run() == S_OK);
    ASSERT_EQ(InitSoundEffects(), 1);
    hitSound = LoadSoundEffect(wave.c_str());
    ASSERT_GE(hitSound, 0);
    LPDIRECTSOUNDBUFFER hit = soundEffects[hitSound].buffer;
    // Opened with the music, the sounds' device closes unused.
    EXPECT_TRUE(Within(3, [] { return !TestEffectsDeviceOpen(); }));
    uint64_t music = TestAudioPasses(AUDIO_DEVICE_MUSIC);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    if (musicPasses) {
        EXPECT_LE(TestAudioPasses(AUDIO_DEVICE_MUSIC) - music,
                  uint64_t(musicPasses));
    }
    uint64_t sounds = TestAudioPasses(AUDIO_DEVICE_EFFECTS);
    PlaySoundEffect(hitSound);
    uint64_t playNs = 0, firstNs = 0;
    EXPECT_TRUE(Within(1, [&] {
        TestBufferFirstSample(hit, &playNs, &firstNs);
        return firstNs != 0;
    })) << "the sound is mixed";
    EXPECT_EQ(TestAudioPasses(AUDIO_DEVICE_EFFECTS) > sounds, ownDevice);
    EXPECT_TRUE(Within(3, [] { return !TestEffectsDeviceOpen(); }));
    sounds = TestAudioPasses(AUDIO_DEVICE_EFFECTS);
    music = TestAudioPasses(AUDIO_DEVICE_MUSIC);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(TestAudioPasses(AUDIO_DEVICE_EFFECTS), sounds);
    EXPECT_GT(TestAudioPasses(AUDIO_DEVICE_MUSIC), music);
    EXPECT_TRUE(TestMixerMusicPlaying());
    control->Release();
    graph->Release();
    CoUninitialize();
}

// With one device at most (SDL's dummy driver), the sounds are mixed into
// the music's.
TEST_F(SoundEffectsTest, WithOneDeviceTheSoundsShareTheMusics) {
    PlayOverTheMusic("dummy", false, 0, dir);
}

// Over a sound server the sounds have a device of their own, running only
// while one plays, beside the music's, fed 11 times a second (4096 frames).
TEST_F(SoundEffectsTest, OverASoundServerTheSoundsDeviceRunsOnlyWhileOnePlays) {
    if (!std::getenv("PULSE_SERVER"))
        GTEST_SKIP() << "needs a PulseAudio server (PULSE_SERVER)";
    PlayOverTheMusic("pulseaudio", true, 14, dir);
}

// A refused cooperative level costs only its box: the sounds still load.
// (No device at all is the whole game's: its end-to-end tests.)
TEST_F(SoundEffectsTest, AFailedCooperativeLevelShowsItsBox) {
    TestFailNext(FAULT_DSOUND_SETCOOPERATIVELEVEL, DSERR_INVALIDPARAM);
    EXPECT_EQ(InitSoundEffects(), 0);
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    const TestMessageBox& box = TestMessageBoxes()[0];
    EXPECT_EQ(box.text, "SetCooperativeLevel");
    EXPECT_TRUE(box.caption == "ERROR" && !box.owner && box.type == MB_OK);
    EXPECT_EQ(Load("hit.wav", SimpleWave(Samples(64))), 0);
}

} // namespace
