// The sound effects over the DirectSound stand-in (SDL_AUDIODRIVER=dummy),
// loaded from WAV files written into a temporary directory: what a load
// makes of a file, how the sounds play, and the game without a device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <utility>

#include "audio_fixture.h"

using namespace audio_files;

namespace {

class SoundEffectsTest : public AudioTest {
  protected:
    int32_t Load(const char* name, const Bytes& wave) {
        EXPECT_TRUE(WriteBytes(dir.File(name), wave));
        return LoadSoundEffect(dir.File(name).c_str());
    }
    void PlayOverTheMusic(const char* driver, bool ownDevice);
};

// Each file's bytes go as they are into a buffer of the one format the
// device takes, 16-bit stereo at 11025 Hz, which the mixer plays at 44100.
// A file that cannot be read leaves its entry free for the next load; one
// whose buffer cannot be made (no samples) keeps it.
TEST_F(SoundEffectsTest, ALoadFillsABufferOfTheFixedFormatOrGivesMinusOne) {
    ASSERT_EQ(InitSoundEffects(), 1);
    const Bytes samples[] = {Samples(4 * 2205), Samples(601)};
    EXPECT_EQ(Load("a.wav", SimpleWave(samples[0])), 0);
    EXPECT_EQ(Load("b.wav", SimpleWave(samples[1], 1, 22050, 8)), 1);
    for (int i : {0, 1}) {
        LPDIRECTSOUNDBUFFER buffer = soundEffects[i].buffer;
        ASSERT_NE(buffer, nullptr);
        // Read back through a lock of its own (no Unlock: nothing changed).
        LPVOID held = nullptr, none = nullptr;
        DWORD size = DWORD(samples[i].size()), heldBytes = 0, noneBytes = 0;
        ASSERT_EQ(buffer->Lock(0, size, &held, &heldBytes, &none, &noneBytes,
                               DSBLOCK_FROMWRITECURSOR),
                  DS_OK);
        const uint8_t* start = static_cast<const uint8_t*>(held);
        EXPECT_EQ(Bytes(start, start + heldBytes), samples[i]);
        // Four times the frames, the last one padded, of four bytes each.
        const double frames = (size + 3) / 4;
        EXPECT_NEAR(TestBufferConvertedBytes(buffer) / (16 * frames), 1, 0.02);
    }
    EXPECT_EQ(LoadSoundEffect(dir.File("missing.wav").c_str()), -1);
    EXPECT_EQ(Load("empty.wav", SimpleWave({})), -1);
    EXPECT_EQ(Load("c.wav", SimpleWave(Samples(64))), 3);
}

// A hit while its sound plays does not restart it; the level-up sound plays
// beside it; once played out, the hit sound starts again.
TEST_F(SoundEffectsTest, ASoundPlayingGoesOnAndPlaysAgainOnceOver) {
    ASSERT_EQ(InitSoundEffects(), 1);
    hitSound = Load("hit.wav", SimpleWave(Samples(4 * 2205)));     // 0.2 s
    levelUpSound = Load("up.wav", SimpleWave(Samples(4 * 11025))); // 1 s
    const void* hit = soundEffects[hitSound].buffer;
    const void* levelUp = soundEffects[levelUpSound].buffer;
    // Each Play of a buffer, and whether it started the buffer.
    auto plays = [] {
        std::vector<std::pair<const void*, bool>> plays;
        for (const AudioEvent& e : TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY))
            plays.emplace_back(e.object, e.started);
        return plays;
    };
    for (int32_t sound : {hitSound, hitSound, levelUpSound, hitSound})
        PlaySoundEffect(sound);
    EXPECT_EQ(plays(),
              (decltype(plays()){
                  {hit, true}, {hit, false}, {levelUp, true}, {hit, false}}));
    for (int i = 0; i < 300 && !plays().back().second; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        PlaySoundEffect(hitSound);
    }
    EXPECT_EQ(plays().back(), std::make_pair(hit, true));
}

// Whether `done` comes true within `seconds`, looked at every 10 ms.
bool Within(double seconds, const std::function<bool()>& done) {
    for (int i = 0; i < int(seconds * 100) && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// The hit sound played over the music with SDL's `driver`: whether the
// sounds' own device runs, and then only while the sound plays. Over a
// sound server the music's device is fed 11 times a second (4096 frames),
// never more than 14.
void SoundEffectsTest::PlayOverTheMusic(const char* driver, bool ownDevice) {
    ASSERT_TRUE(UseDriver(driver)); // dummy again at TearDown
    ASSERT_TRUE(WriteSineMp3(dir.File("music.mp3"), 8.0)) << "lame encodes it";
    StartMusic(dir.File("music.mp3"));
    ASSERT_TRUE(TestMixerMusicPlaying());
    ASSERT_EQ(InitSoundEffects(), 1);
    ASSERT_EQ(hitSound = Load("hit.wav", SimpleWave(Samples(4 * 2205))), 0);
    // Opened with the music, the sounds' device closes unused.
    EXPECT_TRUE(Within(3, [] { return !TestEffectsDeviceOpen(); }));
    uint64_t music = TestAudioPasses(AUDIO_DEVICE_MUSIC);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const uint64_t fed = TestAudioPasses(AUDIO_DEVICE_MUSIC) - music;
    EXPECT_TRUE(!ownDevice || fed <= 14) << fed << " passes in a second";
    uint64_t sounds = TestAudioPasses(AUDIO_DEVICE_EFFECTS);
    PlaySoundEffect(hitSound);
    uint64_t playNs = 0, firstNs = 0;
    EXPECT_TRUE(Within(1, [&] {
        TestBufferFirstSample(soundEffects[0].buffer, &playNs, &firstNs);
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
}

// With one device at most (SDL's dummy driver), the sounds are mixed into
// the music's.
TEST_F(SoundEffectsTest, WithOneDeviceTheSoundsShareTheMusics) {
    PlayOverTheMusic("dummy", false);
}

TEST_F(SoundEffectsTest, OverASoundServerTheSoundsDeviceRunsOnlyWhileOnePlays) {
    if (!std::getenv("PULSE_SERVER"))
        GTEST_SKIP() << "needs a PulseAudio server (PULSE_SERVER)";
    PlayOverTheMusic("pulseaudio", true);
}

// A refused cooperative level costs only its box: the sounds still load.
// (No device at all is the whole game's: its end-to-end tests.)
TEST_F(SoundEffectsTest, AFailedCooperativeLevelShowsItsBox) {
    TestFailNext(FAULT_DSOUND_SETCOOPERATIVELEVEL, DSERR_INVALIDPARAM);
    EXPECT_EQ(InitSoundEffects(), 0);
    EXPECT_EQ(Boxes(), "ERROR: SetCooperativeLevel\n"); // not the window's
    EXPECT_EQ(Load("hit.wav", SimpleWave(Samples(64))), 0);
}

} // namespace
