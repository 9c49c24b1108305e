// COM start-up and the filter graph stand-in over a two-second mp3 encoded
// in the test, under SDL_AUDIODRIVER=dummy: rendering and its failures,
// running, duration, seeking, restarting after the end, volume mapping and
// the shared reference count of the four interfaces.
#include <gtest/gtest.h>
#include <dshow.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "audio_files.h"
#include "dshow/dshow_private.h"
#include "testing/fault.h"
#include "testing/audio.h"

using namespace audio_files;

namespace {

std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

class ComTest : public ::testing::Test {
  protected:
    void TearDown() override {
        while (initialised-- > 0)
            CoUninitialize();
        TestResetAudio();
    }
    int initialised = 0;
};

TEST_F(ComTest, InitialiseCountsPerThreadAndKeepsItsModel) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ++initialised;
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    ++initialised;
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED),
              RPC_E_CHANGED_MODE);
    // Another thread starts without COM.
    HRESULT other = S_OK;
    std::thread([&] {
        void* object = nullptr;
        other =
            CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IGraphBuilder, &object);
    }).join();
    EXPECT_EQ(other, CO_E_NOTINITIALIZED);
}

TEST_F(ComTest, CreateInstanceNeedsComAndKnowsOnlyTheFilterGraph) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IGraphBuilder, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ++initialised;
    EXPECT_EQ(CoCreateInstance(IID_IBasicAudio, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IGraphBuilder, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(
        CoCreateInstance(CLSID_FilterGraph, reinterpret_cast<LPUNKNOWN>(8),
                         CLSCTX_INPROC_SERVER, IID_IGraphBuilder, &object),
        CLASS_E_NOAGGREGATION);
    TestFailNext(FAULT_COCREATEINSTANCE, E_OUTOFMEMORY);
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IGraphBuilder, &object),
              E_OUTOFMEMORY);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(TestLiveFilterGraphs(), 0);

    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IMediaControl, &object),
              S_OK);
    EXPECT_EQ(TestLiveFilterGraphs(), 1);
    static_cast<IMediaControl*>(object)->Release();
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
}

TEST(MusicVolumeTest, HundredthsOfADecibelMapToAmplitude) {
    EXPECT_EQ(MusicVolumeToMixer(0), 128);
    EXPECT_EQ(MusicVolumeToMixer(-600), 64);  // 128 * 10^-0.3 = 64.15
    EXPECT_EQ(MusicVolumeToMixer(-1000), 40); // 128 * 10^-0.5 = 40.48
    EXPECT_EQ(MusicVolumeToMixer(-2000), 13); // 12.8
    EXPECT_EQ(MusicVolumeToMixer(-9900), 0);
    EXPECT_EQ(MusicVolumeToMixer(-10000), 0);
}

// Graphs over the test piece; the mp3 is encoded once for all of them.
class FilterGraphTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new TempDir();
        encoded = WriteSineMp3(dir->File("piece.mp3"), 2.0);
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestResetAudio();
        TestRecordAudio(true);
        ASSERT_TRUE(encoded) << "the lame command could not encode the piece";
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr,
                                   CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&graph)),
                  S_OK);
        graph->QueryInterface(IID_IMediaControl,
                              reinterpret_cast<void**>(&control));
        graph->QueryInterface(IID_IMediaPosition,
                              reinterpret_cast<void**>(&position));
        graph->QueryInterface(IID_IBasicAudio,
                              reinterpret_cast<void**>(&audio));
    }
    void TearDown() override {
        if (audio) audio->Release();
        if (position) position->Release();
        if (control) control->Release();
        if (graph) graph->Release();
        EXPECT_EQ(TestLiveFilterGraphs(), 0);
        EXPECT_EQ(TestAudioDeviceUsers(), 0);
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio());
    }

    HRESULT Render(const std::string& name) {
        return graph->RenderFile(Wide(dir->File(name)).c_str(), nullptr);
    }
    double Position() {
        REFTIME time = -1;
        EXPECT_EQ(position->get_CurrentPosition(&time), S_OK);
        return time;
    }
    // Waits (at most three seconds) until the piece has played to its end.
    bool WaitForTheEnd() {
        for (int i = 0; i < 300; ++i) {
            if (!TestMixerMusicPlaying()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    double StopTime() {
        REFTIME time = -1;
        EXPECT_EQ(position->get_StopTime(&time), S_OK);
        return time;
    }

    static TempDir* dir;
    static bool encoded;
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaPosition* position = nullptr;
    IBasicAudio* audio = nullptr;
};

TempDir* FilterGraphTest::dir = nullptr;
bool FilterGraphTest::encoded = false;

TEST_F(FilterGraphTest, TheFourInterfacesShareOneObjectAndOneCount) {
    ASSERT_NE(control, nullptr);
    ASSERT_NE(position, nullptr);
    ASSERT_NE(audio, nullptr);
    IUnknown* fromControl = nullptr;
    IUnknown* fromAudio = nullptr;
    control->QueryInterface(IID_IUnknown,
                            reinterpret_cast<void**>(&fromControl));
    audio->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromAudio));
    EXPECT_EQ(fromControl, static_cast<IUnknown*>(graph));
    EXPECT_EQ(fromAudio, static_cast<IUnknown*>(graph));
    // graph, control, position, audio and the two queries: six.
    EXPECT_EQ(position->AddRef(), 7u);
    EXPECT_EQ(graph->Release(), 6u);
    fromControl->Release();
    fromAudio->Release();
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(graph->QueryInterface(CLSID_FilterGraph, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(TestLiveFilterGraphs(), 1);
}

TEST_F(FilterGraphTest, RenderFailsOnMissingAndUndecodableFiles) {
    EXPECT_EQ(Render("missing.mp3"), VFW_E_NOT_FOUND);
    EXPECT_EQ(graph->RenderFile(Wide(dir->path).c_str(), nullptr),
              VFW_E_NOT_FOUND);
    ASSERT_TRUE(WriteBytes(dir->File("text.mp3"),
                           Bytes{'n', 'o', 't', ' ', 'm', 'p', '3', '\n'}));
    EXPECT_EQ(Render("text.mp3"), VFW_E_CANNOT_RENDER);
    ASSERT_TRUE(WriteBytes(dir->File("empty.mp3"), Bytes{}));
    EXPECT_EQ(Render("empty.mp3"), VFW_E_CANNOT_RENDER);
    TestFailNext(FAULT_RENDERFILE, E_FAIL);
    EXPECT_EQ(Render("piece.mp3"), E_FAIL);
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
    EXPECT_TRUE(TestAudioEventsOf(AUDIO_EVENT_MUSIC_RENDER).empty());
}

TEST_F(FilterGraphTest, RenderFailsWithoutAnAudioDevice) {
    std::string before = getenv("SDL_AUDIODRIVER");
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(Render("piece.mp3"), VFW_E_CANNOT_RENDER);
    EXPECT_FALSE(TestAudioDeviceOpen());
    setenv("SDL_AUDIODRIVER", before.c_str(), 1);
}

TEST_F(FilterGraphTest, RenderTakesAUtf16NameWithChineseCharacters) {
    std::string name = "\xe9\x9f\xb3\xe4\xb9\x90.mp3";
    ASSERT_TRUE(WriteBytes(dir->File(name), ReadBytes(dir->File("piece.mp3"))));
    std::u16string wide = Wide(dir->path + "/") + u"\u97f3\u4e50.mp3";
    EXPECT_EQ(graph->RenderFile(wide.c_str(), nullptr), S_OK);
}

TEST_F(FilterGraphTest, DurationAndStopTimeAreTheLengthInSeconds) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    REFTIME duration = 0;
    EXPECT_EQ(position->get_Duration(&duration), S_OK);
    EXPECT_NEAR(duration, 2.0, 0.1);
    EXPECT_EQ(StopTime(), duration);
    EXPECT_EQ(Position(), 0.0);
    EXPECT_EQ(position->get_Duration(nullptr), E_POINTER);
}

TEST_F(FilterGraphTest, RunStartsPlaybackOnce) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    EXPECT_EQ(control->Run(), S_OK);
    EXPECT_EQ(control->Run(), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_GT(Position(), 0.0);
    EXPECT_LT(Position(), 1.5);
    std::vector<AudioEvent> runs = TestAudioEventsOf(AUDIO_EVENT_MUSIC_RUN);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].object, static_cast<const void*>(graph));
    EXPECT_TRUE(runs[0].started);
}

TEST_F(FilterGraphTest, SeekingMovesThePosition) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    // Before Run, a seek sets where Run starts.
    EXPECT_EQ(position->put_CurrentPosition(0.5), S_OK);
    EXPECT_EQ(Position(), 0.5);
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_GE(Position(), 0.5);
    EXPECT_EQ(position->put_CurrentPosition(1.0), S_OK);
    double now = Position();
    EXPECT_GE(now, 1.0);
    EXPECT_LT(now, 1.4);
    EXPECT_EQ(position->put_CurrentPosition(-1.0), E_INVALIDARG);
}

TEST_F(FilterGraphTest, AFinishedPieceStaysAtItsStopTimeAndRestartsFromZero) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(position->put_CurrentPosition(1.9), S_OK);
    EXPECT_TRUE(TestMixerMusicPlaying());
    ASSERT_TRUE(WaitForTheEnd());
    EXPECT_EQ(Position(), StopTime());
    // Still running: Run does not start it again.
    EXPECT_EQ(control->Run(), S_OK);
    EXPECT_EQ(TestAudioEventsOf(AUDIO_EVENT_MUSIC_RUN).size(), 1u);
    EXPECT_EQ(Position(), StopTime());

    ASSERT_EQ(position->put_CurrentPosition(0.0), S_OK);
    std::vector<AudioEvent> seeks = TestAudioEventsOf(AUDIO_EVENT_MUSIC_SEEK);
    ASSERT_EQ(seeks.size(), 2u);
    EXPECT_FALSE(seeks[0].started);
    EXPECT_TRUE(seeks[1].started);
    EXPECT_EQ(seeks[1].value, 0.0);
    EXPECT_TRUE(TestMixerMusicPlaying());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(Position(), 0.0);
    EXPECT_LT(Position(), 1.0);
}

TEST_F(FilterGraphTest, StopKeepsThePositionAndRunGoesOnFromIt) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(position->put_CurrentPosition(1.0), S_OK);
    ASSERT_EQ(control->Stop(), S_OK);
    double stopped = Position();
    EXPECT_GE(stopped, 1.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Position(), stopped);
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_GE(Position(), stopped);
}

TEST_F(FilterGraphTest, VolumeIsInHundredthsOfADecibelFromSilenceToFull) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    LONG volume = 1;
    EXPECT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(TestMixerMusicVolume(), 128);

    EXPECT_EQ(audio->put_Volume(-1000), S_OK);
    EXPECT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -1000);
    EXPECT_EQ(TestMixerMusicVolume(), 40);

    EXPECT_EQ(audio->put_Volume(-10000), S_OK);
    EXPECT_EQ(TestMixerMusicVolume(), 0);
    EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -10000);
    EXPECT_EQ(TestMixerMusicVolume(), 0);

    EXPECT_EQ(audio->put_Volume(0), S_OK);
    EXPECT_EQ(TestMixerMusicVolume(), 128);
}

TEST_F(FilterGraphTest, AVolumeSetBeforeRunHoldsWhenPlaybackStarts) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    ASSERT_EQ(audio->put_Volume(-600), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_EQ(TestMixerMusicVolume(), 64);
}

TEST_F(FilterGraphTest, TheLastReleaseHaltsAndFreesTheMusic) {
    ASSERT_EQ(Render("piece.mp3"), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_EQ(TestAudioDeviceUsers(), 1);
    audio->Release();
    position->Release();
    control->Release();
    audio = nullptr;
    position = nullptr;
    control = nullptr;
    EXPECT_EQ(TestLiveFilterGraphs(), 1);
    EXPECT_EQ(graph->Release(), 0u);
    graph = nullptr;
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
    EXPECT_EQ(TestAudioDeviceUsers(), 0);
}

} // namespace
