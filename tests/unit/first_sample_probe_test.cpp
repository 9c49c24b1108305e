// The first-sample probe of the sound buffers (TestBufferFirstSample), which
// the latency benchmark reads: every play that starts is timed afresh, also
// after an earlier play has ended (SDL_mixer drops a channel's effects when
// its play ends).
#include <gtest/gtest.h>

#include <windows.h>
#include <dsound.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "testing/audio.h"

namespace {

class FirstSampleProbe : public ::testing::Test {
  protected:
    LPDIRECTSOUND8 device = nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestResetAudio();
        TestRecordAudio(true);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 11025, 44100, 4, 16, 0};
        DSBUFFERDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE;
        desc.dwBufferBytes = 4 * 220; // 20 ms
        desc.lpwfxFormat = &format;
        ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        LPVOID part1 = nullptr, part2 = nullptr;
        DWORD bytes1 = 0, bytes2 = 0;
        ASSERT_EQ(buffer->Lock(0, desc.dwBufferBytes, &part1, &bytes1, &part2,
                               &bytes2, DSBLOCK_FROMWRITECURSOR),
                  DS_OK);
        ASSERT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
    }
    void TearDown() override {
        if (buffer) buffer->Release();
        if (device) device->Release();
        EXPECT_TRUE(TestResetAudio());
    }

    // Waits (at most 2 s) for `done` to hold.
    template <typename Done> static bool WaitFor(Done done) {
        for (int i = 0; i < 400; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    bool Playing() {
        DWORD status = 0;
        buffer->GetStatus(&status);
        return (status & DSBSTATUS_PLAYING) != 0;
    }
};

TEST_F(FirstSampleProbe, EveryPlayThatStartsIsTimedAfresh) {
    uint64_t lastPlay = 0;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
        uint64_t play = 0, mixed = 0;
        ASSERT_TRUE(WaitFor([&] {
            TestBufferFirstSample(buffer, &play, &mixed);
            return mixed != 0;
        })) << "play "
            << round << " was never mixed";
        EXPECT_GT(play, lastPlay) << "play " << round;
        EXPECT_GE(mixed, play);
        lastPlay = play;
        ASSERT_TRUE(WaitFor([&] { return !Playing(); }));
    }
}

} // namespace
