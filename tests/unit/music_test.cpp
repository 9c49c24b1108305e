// The music graph: CreateMusicGraph and the three queries with their
// messages, and ChangeMusicVolume's bounds and call order, with fakes and
// with the real graph over an mp3 encoded in the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/music.h"
#include "audio_files.h"
#include "game/letters.h"
#include "testing/fault.h"
#include "testing/audio.h"
#include "testing/user.h"

using namespace audio_files;

namespace {

// An IBasicAudio that logs its calls and keeps the volume it is given.
class FakeAudio final : public IBasicAudio {
  public:
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOTIMPL; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(put_Volume)(LONG value) override {
        calls.push_back("put " + std::to_string(value));
        volume = value;
        return S_OK;
    }
    STDMETHOD(get_Volume)(LONG* value) override {
        calls.push_back("get");
        *value = volume;
        return S_OK;
    }
    LONG volume = 0;
    std::vector<std::string> calls;
};

// A graph whose queries fail for the interfaces in `refused`.
class FakeGraph final : public IGraphBuilder {
  public:
    STDMETHOD(QueryInterface)(REFIID riid, void** object) override {
        for (const GUID* id : refused) {
            if (*id == riid) {
                *object = nullptr;
                return E_NOINTERFACE;
            }
        }
        *object = this;
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(RenderFile)(LPCWSTR, LPCWSTR) override { return S_OK; }
    std::vector<const GUID*> refused;
};

class MusicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestResetAudio();
        TestRecordAudio(true);
        TestRecordMessageBoxes(true);
        TestClearMessageBoxes();
        savedWindow = hMainWindow;
        hMainWindow = reinterpret_cast<HWND>(0x5150);
        musicPlayer = MusicPlayer{};
        game.volume = 0;
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        if (musicPlayer.pAudio) musicPlayer.pAudio->Release();
        if (musicPlayer.pPosition) musicPlayer.pPosition->Release();
        if (musicPlayer.pControl) musicPlayer.pControl->Release();
        if (musicPlayer.pGraph) musicPlayer.pGraph->Release();
        musicPlayer = MusicPlayer{};
        game.volume = 0;
        hMainWindow = savedWindow;
        CoUninitialize();
        TestClearMessageBoxes();
        EXPECT_EQ(TestLiveFilterGraphs(), 0);
        EXPECT_TRUE(TestResetAudio());
    }

    void ExpectOneBox(const char* text) {
        ASSERT_EQ(TestMessageBoxes().size(), 1u);
        EXPECT_EQ(TestMessageBoxes()[0].owner, hMainWindow);
        EXPECT_EQ(TestMessageBoxes()[0].text, text);
        EXPECT_EQ(TestMessageBoxes()[0].caption, "Error");
        EXPECT_EQ(TestMessageBoxes()[0].type, UINT(MB_OK));
    }

    // Start-up as the application does it, over `file`.
    void StartUp(const std::string& file) {
        std::u16string wide(file.begin(), file.end());
        musicPlayer.pGraph = CreateMusicGraph(wide.c_str());
        if (!musicPlayer.pGraph) return;
        musicPlayer.pControl = QueryMediaControl(musicPlayer.pGraph);
        musicPlayer.pAudio = QueryBasicAudio(musicPlayer.pGraph);
        musicPlayer.pPosition = QueryMediaPosition(musicPlayer.pGraph);
    }

    TempDir dir;
    HWND savedWindow = nullptr;
};

TEST_F(MusicTest, AMissingFileShowsOneRenderFileBoxAndLeavesNoGraph) {
    StartUp(dir.File("music.mp3"));
    EXPECT_EQ(musicPlayer.pGraph, nullptr);
    ExpectOneBox("DXshow RenderFile");
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
    // Without a graph the volume keys do nothing.
    ChangeMusicVolume(-100);
    EXPECT_EQ(game.volume, 0);
}

TEST_F(MusicTest, AFailedCreateInstanceShowsItsBox) {
    TestFailNext(FAULT_COCREATEINSTANCE, REGDB_E_CLASSNOTREG);
    StartUp(dir.File("music.mp3"));
    EXPECT_EQ(musicPlayer.pGraph, nullptr);
    ExpectOneBox("DXshow CoCreateInstance");
}

TEST_F(MusicTest, AFailedRenderShowsItsBox) {
    ASSERT_TRUE(WriteSineMp3(dir.File("music.mp3"), 1.0));
    TestFailNext(FAULT_RENDERFILE, VFW_E_CANNOT_RENDER);
    StartUp(dir.File("music.mp3"));
    EXPECT_EQ(musicPlayer.pGraph, nullptr);
    ExpectOneBox("DXshow RenderFile");
}

TEST_F(MusicTest, EachRefusedQueryShowsItsBoxAndGivesNull) {
    struct Case {
        const GUID* id;
        const char* text;
    } cases[] = {{&IID_IMediaControl, "DXshow IID_IMediaControl"},
                 {&IID_IBasicAudio, "DXshow IID_IBasicAudio"},
                 {&IID_IMediaPosition, "DXshow IID_IMediaPosition"}};
    FakeGraph graph;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TestClearMessageBoxes();
        graph.refused = {c.id};
        void* control = QueryMediaControl(&graph);
        void* audio = QueryBasicAudio(&graph);
        void* position = QueryMediaPosition(&graph);
        EXPECT_EQ(control == nullptr, c.id == &IID_IMediaControl);
        EXPECT_EQ(audio == nullptr, c.id == &IID_IBasicAudio);
        EXPECT_EQ(position == nullptr, c.id == &IID_IMediaPosition);
        ExpectOneBox(c.text);
    }
}

TEST_F(MusicTest, StartUpOverAPlayableFileGivesAllFourInterfaces) {
    ASSERT_TRUE(WriteSineMp3(dir.File("music.mp3"), 1.0));
    StartUp(dir.File("music.mp3"));
    ASSERT_NE(musicPlayer.pGraph, nullptr);
    EXPECT_NE(musicPlayer.pControl, nullptr);
    EXPECT_NE(musicPlayer.pAudio, nullptr);
    EXPECT_NE(musicPlayer.pPosition, nullptr);
    EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST_F(MusicTest, VolumeStepsTestTheStoredValueThenGetAddAndPut) {
    FakeAudio audio;
    musicPlayer.pAudio = &audio;

    ChangeMusicVolume(+100); // at 0 already: nothing, not even a get
    EXPECT_TRUE(audio.calls.empty());
    EXPECT_EQ(game.volume, 0);

    ChangeMusicVolume(-100);
    EXPECT_EQ(audio.calls, (std::vector<std::string>{"get", "put -100"}));
    EXPECT_EQ(game.volume, -100);

    // The stored value is replaced by what the graph reports.
    audio.volume = -300;
    ChangeMusicVolume(-100);
    EXPECT_EQ(game.volume, -400);
    EXPECT_EQ(audio.volume, -400);

    // The bound is tested on the stored value, before asking the graph.
    game.volume = -10000;
    audio.calls.clear();
    ChangeMusicVolume(-100);
    EXPECT_TRUE(audio.calls.empty());
    EXPECT_EQ(game.volume, -10000);
    audio.volume = -10000;
    ChangeMusicVolume(+100);
    EXPECT_EQ(game.volume, -9900);

    musicPlayer.pAudio = nullptr;
}

TEST_F(MusicTest, TenPressesOfMinusGiveMinus1000) {
    FakeAudio audio;
    musicPlayer.pAudio = &audio;
    for (int i = 0; i < 10; ++i)
        ChangeMusicVolume(-100);
    EXPECT_EQ(game.volume, -1000);
    EXPECT_EQ(audio.volume, -1000);
    musicPlayer.pAudio = nullptr;
}

TEST_F(MusicTest, TheRealGraphGoesFromFullToSilenceInHundredSteps) {
    ASSERT_TRUE(WriteSineMp3(dir.File("music.mp3"), 1.0));
    StartUp(dir.File("music.mp3"));
    ASSERT_NE(musicPlayer.pAudio, nullptr);
    ASSERT_EQ(musicPlayer.pControl->Run(), S_OK);

    for (int i = 0; i < 10; ++i)
        ChangeMusicVolume(-100);
    EXPECT_EQ(game.volume, -1000);
    LONG volume = 0;
    musicPlayer.pAudio->get_Volume(&volume);
    EXPECT_EQ(volume, -1000);
    EXPECT_EQ(TestMixerMusicVolume(), 40);

    for (int i = 0; i < 95; ++i)
        ChangeMusicVolume(-100);
    EXPECT_EQ(game.volume, -10000);
    EXPECT_EQ(TestMixerMusicVolume(), 0);

    ChangeMusicVolume(+100);
    EXPECT_EQ(game.volume, -9900);
    for (int i = 0; i < 120; ++i)
        ChangeMusicVolume(+100);
    EXPECT_EQ(game.volume, 0);
    EXPECT_EQ(TestMixerMusicVolume(), 128);
    EXPECT_EQ(TestAudioEventsOf(AUDIO_EVENT_MUSIC_VOLUME).size(),
              size_t(10 + 90 + 1 + 99));
}

} // namespace
