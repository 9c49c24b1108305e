// The DirectSound stand-in under SDL_AUDIODRIVER=dummy: the device, static
// buffers in the one accepted format, Lock/Unlock, Play without restart,
// reference counts, mixer channels and the no-device path.
#include <gtest/gtest.h>
#include <dsound.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "testing/fault.h"
#include "testing/audio.h"

namespace {

class DirectSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestResetAudio();
        TestRecordAudio(true);
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = 11025;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = 44100;
        format.wBitsPerSample = 16;
        format.cbSize = 0;
        desc.dwSize = sizeof(DSBUFFERDESC);
        desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE |
                       DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                       DSBCAPS_CTRLVOLUME;
        desc.dwBufferBytes = 4 * 1102; // 0.1 s
        desc.lpwfxFormat = &format;
    }
    void TearDown() override {
        if (device) device->Release();
        EXPECT_EQ(TestLiveSoundBuffers(), 0);
        EXPECT_TRUE(TestResetAudio());
    }

    void CreateDevice() {
        ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    }

    // A buffer filled with a quiet square wave through Lock and Unlock.
    LPDIRECTSOUNDBUFFER FilledBuffer(DWORD bytes) {
        desc.dwBufferBytes = bytes;
        LPDIRECTSOUNDBUFFER buffer = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (!buffer) return nullptr;
        LPVOID part1 = nullptr, part2 = nullptr;
        DWORD bytes1 = 0, bytes2 = 0;
        EXPECT_EQ(buffer->Lock(0, bytes, &part1, &bytes1, &part2, &bytes2,
                               DSBLOCK_FROMWRITECURSOR),
                  DS_OK);
        int16_t* samples = static_cast<int16_t*>(part1);
        for (DWORD i = 0; i < bytes1 / 2; ++i)
            samples[i] = (i / 50) % 2 ? 3000 : -3000;
        EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
        return buffer;
    }

    static DWORD Status(LPDIRECTSOUNDBUFFER buffer) {
        DWORD status = 0xFFFF;
        EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
        return status;
    }

    // Waits (at most two seconds) until the buffer has played out.
    static bool WaitUntilStopped(LPDIRECTSOUNDBUFFER buffer) {
        for (int i = 0; i < 200; ++i) {
            if (Status(buffer) == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    WAVEFORMATEX format = {};
    DSBUFFERDESC desc = {};
    LPDIRECTSOUND8 device = nullptr;
};

TEST_F(DirectSoundTest, CreateOpensTheSharedDeviceAndReleaseLetsGo) {
    EXPECT_FALSE(TestAudioDeviceOpen());
    CreateDevice();
    EXPECT_TRUE(TestAudioDeviceOpen());
    EXPECT_EQ(TestAudioDeviceUsers(), 1);
    EXPECT_EQ(TestMixerChannels(), 0);

    LPDIRECTSOUND8 again = nullptr;
    EXPECT_EQ(device->QueryInterface(IID_IDirectSound8,
                                     reinterpret_cast<void**>(&again)),
              S_OK);
    EXPECT_EQ(again, device);
    EXPECT_EQ(again->Release(), 1u);
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
}

TEST_F(DirectSoundTest, CreateRefusesAggregationAndPassesOnInjectedFailures) {
    LPDIRECTSOUND8 sound = reinterpret_cast<LPDIRECTSOUND8>(1);
    TestFailNext(FAULT_DIRECTSOUNDCREATE8, DSERR_NODRIVER);
    EXPECT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(
        DirectSoundCreate8(nullptr, &sound, reinterpret_cast<LPUNKNOWN>(8)),
        DSERR_NOAGGREGATION);
    EXPECT_EQ(DirectSoundCreate8(nullptr, nullptr, nullptr),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
}

TEST_F(DirectSoundTest, WithoutAnAudioDeviceCreateFailsWithNoDriver) {
    std::string before = getenv("SDL_AUDIODRIVER");
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    LPDIRECTSOUND8 sound = nullptr;
    EXPECT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(sound, nullptr);
    EXPECT_FALSE(TestAudioDeviceOpen());
    setenv("SDL_AUDIODRIVER", before.c_str(), 1);
    // The next attempt with a device succeeds.
    CreateDevice();
}

TEST_F(DirectSoundTest, CooperativeLevelIsGrantedOrFailsWhenInjected) {
    CreateDevice();
    TestFailNext(FAULT_DSOUND_SETCOOPERATIVELEVEL, DSERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 9), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, OnlyTheFixedFormatIsAccepted) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    struct Change {
        const char* what;
        void (*apply)(WAVEFORMATEX&);
    } changes[] = {
        {"mono", [](WAVEFORMATEX& f) { f.nChannels = 1; }},
        {"8 bits", [](WAVEFORMATEX& f) { f.wBitsPerSample = 8; }},
        {"44100 Hz", [](WAVEFORMATEX& f) { f.nSamplesPerSec = 44100; }},
        {"float", [](WAVEFORMATEX& f) { f.wFormatTag = 3; }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        WAVEFORMATEX other = format;
        change.apply(other);
        desc.lpwfxFormat = &other;
        EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
                  DSERR_BADFORMAT);
        EXPECT_EQ(buffer, nullptr);
    }
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
}

TEST_F(DirectSoundTest, BadDescriptionsAreRefused) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    desc.dwBufferBytes = 0;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
              DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 3;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
              DSERR_INVALIDPARAM);
    desc.dwBufferBytes = DSBSIZE_MAX + 1;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
              DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 400;
    desc.dwSize = 20;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
              DSERR_INVALIDPARAM);
    desc.dwSize = sizeof(DSBUFFERDESC);
    desc.lpwfxFormat = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
              DSERR_INVALIDPARAM);
    desc.lpwfxFormat = &format;
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer,
                                        reinterpret_cast<LPUNKNOWN>(8)),
              DSERR_NOAGGREGATION);
    TestFailNext(FAULT_CREATESOUNDBUFFER, DSERR_OUTOFMEMORY);
    EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr),
              DSERR_OUTOFMEMORY);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
}

TEST_F(DirectSoundTest, EachBufferHasAMixerChannelOfItsOwn) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER a = FilledBuffer(400);
    LPDIRECTSOUNDBUFFER b = FilledBuffer(400);
    LPDIRECTSOUNDBUFFER c = FilledBuffer(400);
    EXPECT_EQ(TestMixerChannels(), 3);
    EXPECT_EQ(TestAudioDeviceUsers(), 4);
    b->Release();
    LPDIRECTSOUNDBUFFER d = FilledBuffer(400);
    EXPECT_EQ(TestMixerChannels(), 3); // b's channel again
    a->Release();
    c->Release();
    d->Release();
    EXPECT_EQ(TestAudioDeviceUsers(), 1);
}

TEST_F(DirectSoundTest, LockFromTheWriteCursorGivesTheWholeBufferInOnePart) {
    CreateDevice();
    desc.dwBufferBytes = 400;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    LPVOID part1 = nullptr;
    LPVOID part2 = reinterpret_cast<LPVOID>(1);
    DWORD bytes1 = 0, bytes2 = 7;
    ASSERT_EQ(buffer->Lock(123, 400, &part1, &bytes1, &part2, &bytes2,
                           DSBLOCK_FROMWRITECURSOR),
              DS_OK);
    EXPECT_NE(part1, nullptr);
    EXPECT_EQ(bytes1, 400u);
    EXPECT_EQ(part2, nullptr);
    EXPECT_EQ(bytes2, 0u);
    // A new buffer holds silence.
    const uint8_t* bytes = static_cast<const uint8_t*>(part1);
    for (DWORD i = 0; i < bytes1; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);

    // From an offset, a lock past the end wraps into the second part.
    ASSERT_EQ(buffer->Lock(300, 200, &part1, &bytes1, &part2, &bytes2, 0),
              DS_OK);
    EXPECT_EQ(bytes1, 100u);
    EXPECT_EQ(bytes2, 100u);
    EXPECT_EQ(static_cast<uint8_t*>(part1) - static_cast<uint8_t*>(part2), 300);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);

    EXPECT_EQ(buffer->Lock(0, 401, &part1, &bytes1, &part2, &bytes2, 0),
              DSERR_INVALIDPARAM);
    TestFailNext(FAULT_LOCK, DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(0, 400, &part1, &bytes1, &part2, &bytes2,
                           DSBLOCK_FROMWRITECURSOR),
              DSERR_INVALIDCALL);
    buffer->Release();
}

TEST_F(DirectSoundTest, UnlockTakesOnlyTheLockedPointers) {
    CreateDevice();
    desc.dwBufferBytes = 400;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    char elsewhere[400];
    EXPECT_EQ(buffer->Unlock(elsewhere, 400, nullptr, 0), DSERR_INVALIDPARAM);
    LPVOID part1 = nullptr;
    DWORD bytes1 = 0;
    ASSERT_EQ(buffer->Lock(0, 400, &part1, &bytes1, nullptr, nullptr,
                           DSBLOCK_FROMWRITECURSOR),
              DS_OK);
    EXPECT_EQ(buffer->Unlock(elsewhere, 400, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(part1, 401, nullptr, 0), DSERR_INVALIDPARAM);
    TestFailNext(FAULT_UNLOCK, DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DS_OK);
    buffer->Release();
}

TEST_F(DirectSoundTest, UnlockConvertsTo44100HzStereoOnce) {
    CreateDevice();
    desc.dwBufferBytes = 4 * 1102;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    EXPECT_EQ(TestBufferConvertedBytes(buffer), 0u);
    LPVOID part1 = nullptr;
    DWORD bytes1 = 0;
    ASSERT_EQ(buffer->Lock(0, desc.dwBufferBytes, &part1, &bytes1, nullptr,
                           nullptr, DSBLOCK_FROMWRITECURSOR),
              DS_OK);
    ASSERT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DS_OK);
    // Four times the frames, of four bytes each, give or take the
    // resampler's edges.
    double converted = TestBufferConvertedBytes(buffer);
    EXPECT_NEAR(converted, 4.0 * 4 * 1102, 0.02 * 4 * 4 * 1102);
    EXPECT_EQ(uint32_t(converted) % 4, 0u);

    // An odd size is played to its last whole frame.
    buffer->Release();
    desc.dwBufferBytes = 4 * 1102 + 3;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    ASSERT_EQ(buffer->Lock(0, desc.dwBufferBytes, &part1, &bytes1, nullptr,
                           nullptr, DSBLOCK_FROMWRITECURSOR),
              DS_OK);
    ASSERT_EQ(buffer->Unlock(part1, bytes1, nullptr, 0), DS_OK);
    EXPECT_GE(TestBufferConvertedBytes(buffer), uint32_t(converted));
    buffer->Release();
}

TEST_F(DirectSoundTest, PlayOnAPlayingBufferDoesNotRestartIt) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER buffer = FilledBuffer(4 * 2205); // 0.2 s
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(Status(buffer), 0u);

    EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Status(buffer), DWORD(DSBSTATUS_PLAYING));
    EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
    std::vector<AudioEvent> plays = TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].object, buffer);
    EXPECT_TRUE(plays[0].started);
    EXPECT_EQ(plays[1].object, buffer);
    EXPECT_FALSE(plays[1].started);

    // Once it has played out, Play starts it again.
    ASSERT_TRUE(WaitUntilStopped(buffer));
    EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
    plays = TestAudioEventsOf(AUDIO_EVENT_BUFFER_PLAY);
    ASSERT_EQ(plays.size(), 3u);
    EXPECT_TRUE(plays[2].started);
    EXPECT_EQ(Status(buffer), DWORD(DSBSTATUS_PLAYING));
    buffer->Release();
}

TEST_F(DirectSoundTest, TheFirstMixedSampleOfAPlayIsTimed) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER buffer = FilledBuffer(4 * 2205);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    uint64_t played = 0, mixed = 0;
    for (int i = 0; i < 200 && mixed == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(TestBufferFirstSample(buffer, &played, &mixed));
    }
    EXPECT_NE(played, 0u);
    EXPECT_NE(mixed, 0u);
    EXPECT_GE(mixed, played);
    EXPECT_FALSE(TestBufferFirstSample(nullptr, &played, &mixed));
    buffer->Release();
}

TEST_F(DirectSoundTest, ReferencesAreCountedAndTheLastReleaseFrees) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER buffer = FilledBuffer(4 * 2205);
    buffer->Play(0, 0, 0);
    EXPECT_EQ(buffer->AddRef(), 2u);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(buffer->QueryInterface(IID_IUnknown,
                                     reinterpret_cast<void**>(&unknown)),
              S_OK);
    EXPECT_EQ(unknown, buffer);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSound8, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(TestLiveSoundBuffers(), 1);
    // The last release halts the playing buffer and frees it.
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
}

TEST_F(DirectSoundTest, ABufferNeverUnlockedPlaysSilence) {
    CreateDevice();
    desc.dwBufferBytes = 400;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
    ASSERT_TRUE(WaitUntilStopped(buffer));
    buffer->Release();
}

TEST_F(DirectSoundTest, BuffersOutliveTheDeviceObject) {
    CreateDevice();
    LPDIRECTSOUNDBUFFER buffer = FilledBuffer(400);
    device->Release();
    device = nullptr;
    EXPECT_TRUE(TestAudioDeviceOpen());
    EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
    buffer->Release();
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
}

} // namespace
