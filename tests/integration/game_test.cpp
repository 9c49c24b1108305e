// The game in process, in a folder of its data files: frames after its own
// start-up, read back as shown, and WinMain whole.
#include <cstring>
#include <stdexcept>
#include <tuple>

#include "app/app.h"
#include "audio/music.h"
#include "audio_files.h"
#include "case_name.h"
#include "display/display.h"
#include "display/surface_text.h"
#include "gdi_text.h"
#include "game/frame.h"
#include "game_fixture.h"
#include "platform/kernel/codepage.h"
#include "scaled_whole.h"
#include "testing/seams.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);

// Text in code page 936, the bytes the game draws.
std::string Gbk(const char16_t* text) {
    return WideToAnsi(text, std::char_traits<char16_t>::length(text));
}

// The music's place as a media graph reports it; records the seeks.
struct FakePosition : IMediaPosition {
    double stopTime = 120.0, position = 10.0;
    int reads = 0;
    std::vector<double> seeks;
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT put_CurrentPosition(REFTIME t) override {
        return seeks.push_back(t), S_OK;
    }
    HRESULT get_CurrentPosition(REFTIME* t) override {
        return *t = position, S_OK;
    }
    HRESULT get_StopTime(REFTIME* t) override {
        return *t = stopTime, ++reads, S_OK;
    }
};

class FrameTest : public StartedGame {
  protected:
    FakePosition music;
    int dcs = 0;

    void SetUp() override {
        StartedGame::SetUp();
        musicPlayer.pPosition = &music; // there is no music.mp3
        dcs = TestGdiLiveDCs();
    }
    void TearDown() override {
        EXPECT_EQ(TestGdiLiveDCs(), dcs) << "a frame gives back its DCs";
        StartedGame::TearDown();
    }

    static void Frame(DWORD tick) {
        TestSetTickCount(tick);
        GameFrame();
    }

    using Text = std::tuple<HFONT, int, int, std::string, COLORREF>;

    // Pixels shown unlike the picture drawn here without the frame's calls:
    // the grey, the keyboard picture centred if `paused` and it fits the
    // screen (lpDDbmp1's pixels, white keyed out, copied by hand), then
    // through a GDI device context of its own the title if `paused`,
    // `texts`, and the HUD's status, level, key and music lines.
    static int Differences(bool paused, std::vector<Text> texts,
                           const char16_t* status, const char16_t* level,
                           const char16_t* music) {
        const COLORREF grey = RGB(100, 100, 100);
        const char16_t* keys = u"空格:开始/暂停 a~z:打 ESC:退出 +/-:音量";
        texts.insert(texts.end(), {{hHudFont, 100, 718, Gbk(status), 0},
                                   {hHudFont, 100, 688, Gbk(level), kRed},
                                   {hHudFont, 100, 738, Gbk(keys), grey},
                                   {hHudFont, 500, 738, Gbk(music), grey}});
        std::vector<uint32_t> expected(1024 * 768, 0xC8C8C8);
        TestSurfaceImage picture = TestSurfacePixels(lpDDbmp1);
        int left = (1024 - picture.width) / 2, top = (768 - picture.height) / 2;
        bool drawn = paused && left >= 0 && top >= 0; // else refused
        for (int y = 0; drawn && y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (picture.At(x, y) != 0xFFFFFF)
                    expected[(top + y) * 1024 + left + x] = picture.At(x, y);
        if (paused)
            texts.insert(texts.begin(),
                         {{nullptr, 492, 180, "Dunmarl", kRed},
                          {hHudFont, 472, 200, Gbk(u"暂停Pause"), kRed}});
        PixelMap map = {expected.data(), 1024, 768, 1024};
        for (const auto& [font, x, y, text, colour] : texts)
            DrawGdiText(map, font, x, y, text, colour);
        return (int)PixelsWrong(TestSurfacePixels(lpDDprimary).pixels.data(),
                                expected);
    }
};

// The picture centred, its white third keyed out, if it fits the screen; a
// larger one's blit is refused, as DirectDraw refuses a destination past
// the edges with no clipper, and the screen stays grey behind the title and
// the HUD, as the Windows build shows it.
TEST_F(FrameTest, PauseScreenShowsThePictureTitleAndHud) {
    for (SIZE size : {SIZE{320, 160}, {1024, 768}, {1280, 1024}, {640, 800}}) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        ReleaseAll();
        ResetGame();
        ASSERT_TRUE(dir.WriteJpeg("finger.jpg", size.cx, size.cy, 0x287828));
        ASSERT_TRUE(InitApplication(GameModule(), SW_SHOW));
        Frame(5000);
        // Right of the white third: the picture's green, or the grey.
        EXPECT_EQ(TestSurfacePixels(lpDDprimary).At(512 + size.cx / 3, 384) !=
                      0xC8C8C8u,
                  size.cx <= 1024 && size.cy <= 768);
        EXPECT_EQ(Differences(true, {},
                              u"下级需要:2 x:0 y:0 Count:0 MaxCount:0 音量:0 "
                              u"间隔:5000 5000",
                              u"级别:1   分数:0", u"音乐:0   进度:0"),
                  0);
        EXPECT_EQ(game.liveCount, 0) << "nothing spawns while paused";
    }
}

// A letter drawn where it is, at 669 on its last step, then never; the HUD
// with the game's numbers and ticks past 2^31 signed, as Windows' %d has.
TEST_F(FrameTest, RunningFramesShowTheLettersAndTheGamesNumbers) {
    music.stopTime = 183.6;
    music.position = 2.4;
    game.level = 3;
    game.score = 5;
    game.volume = -300;
    game.running = true;
    const DWORD t = 0x80000000;
    Frame(t); // spawns, steps, checks the music
    letters[0].text[0] = 'q';
    letters[0].x = 300;
    letters[0].y = 668;
    Frame(t + 34); // past level 3's fall interval of 33 ms
    EXPECT_EQ(Differences(false, {{hLetterFont, 300, 669, "q", RGB(0, 0, 255)}},
                          u"下级需要:12 x:300 y:669 Count:0 MaxCount:1 "
                          u"音量:-300 间隔:34 -2147483614",
                          u"级别:3   分数:4", u"音乐:184   进度:2"),
              0);
    Frame(t + 35); // and never again
    for (uint32_t pixel : TestSurfacePixels(lpDDprimary).pixels)
        ASSERT_NE(pixel, 0x0000FFu);
}

// Spawn and fall intervals by level: each must be exceeded, and a pass
// steps every letter by one pixel at most, however long it took.
TEST_F(FrameTest, LettersSpawnAndFallAtTheirLevelsPace) {
    const struct {
        int level;
        DWORD spawn, fall;
    } paces[] = {{1, 5000, 100}, {2, 2500, 50}, {3, 1666, 33},
                 {10, 500, 10},  {50, 100, 2},  {101, 49, 0}};
    for (const auto& p : paces) {
        SCOPED_TRACE(p.level);
        ResetGame();
        game.level = p.level;
        game.running = true;
        const DWORD t = 100000;
        Frame(t); // spawns and steps
        Frame(t + p.fall);
        EXPECT_EQ(letters[0].y, 1);
        Frame(t + p.fall + 1);
        EXPECT_EQ(letters[0].y, 2);
        Frame(t + p.spawn);
        EXPECT_EQ(game.liveCount, 1);
        Frame(t + p.spawn + 1);
        EXPECT_EQ(game.liveCount, p.level == 1 ? 1 : 2) << "at most `level`";
        int first = letters[0].y, second = letters[1].y;
        Frame(t + 60000);
        EXPECT_EQ(letters[0].y, first + 1);
        EXPECT_EQ(letters[1].y, second + (p.level > 1 ? 1 : 0));
    }
}

TEST_F(FrameTest, MusicGoesBackToTheStartWithUnder3SecondsLeft) {
    Frame(5000);
    Frame(6000); // a check comes once more than a second has passed
    EXPECT_EQ(music.reads, 1);
    music.position = 117.0; // 3 s left: plays on
    Frame(6001);
    EXPECT_EQ(music.reads, 2);
    EXPECT_TRUE(music.seeks.empty());
    game.running = true; // checked while playing too
    music.position = 117.5;
    Frame(7002);
    EXPECT_EQ(music.seeks, std::vector<double>{0.0});
}

// WinMain, with music. A game that would not end is told to after 100
// passes (exit code 1), and failed after 1000.
int passes;

class Session : public Game {
  protected:
    void SetUp() override {
        Game::SetUp();
        ASSERT_TRUE(audio_files::WriteSineMp3("music.mp3", 1.0)) << "lame?";
    }
    static int Run() {
        passes = 0;
        TestSetPeekHook([] {
            if (++passes == 100) PostQuitMessage(1);
            if (passes > 1000) throw std::runtime_error("the loop goes on");
        });
        char commandLine[] = "--ignored";
        return WinMain(GameModule(), nullptr, commandLine, SW_SHOWDEFAULT);
    }
};

TEST_F(Session, OneMessageAPassAndQuitEndsBeforeThatPassesFrame) {
    for (int i = 0; i < 5; ++i)
        PostMessageA(nullptr, WM_USER + i, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(TestFlipCount(), 5);
}

// A failed set-up step shows its box, the window never shows; a refused
// mode or a positive result starts the game, shown once before Escape ends
// it. Nothing is left, the music graph least (Wine ends badly with one).
struct Step {
    const char* name;
    FaultCall call; // FAULT_COUNT: no finger.jpg
    HRESULT result;
    const char* box; // null: none, the game starts
};

class StartUp : public Session, public ::testing::WithParamInterface<Step> {};

TEST_P(StartUp, ItsResultStartsTheGameOrShowsItsBox) {
    const Step& step = GetParam();
    step.call == FAULT_COUNT ? (void)std::remove("finger.jpg")
                             : TestFailNext(step.call, step.result);
    TestSetKeyState(VK_ESCAPE, !step.box);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(IsWindowVisible(hMainWindow), !step.box);
    EXPECT_EQ(TestFlipCount(), step.box ? 0 : 1);
    std::string boxes;
    for (const TestMessageBox& box : TestMessageBoxes()) {
        boxes += box.caption + ": " + box.text + "\n";
        EXPECT_EQ(box.owner, hMainWindow) << "owned by the main window";
    }
    EXPECT_EQ(boxes, step.box ? "Error: " + std::string(step.box) + "\n" : "");
    EXPECT_EQ(TestLiveFilterGraphs(), 0);
    EXPECT_FALSE(TestMixerMusicPlaying());
    if (step.box) ReleaseAll(); // what the end of the process takes away
    EXPECT_EQ(TestLiveDirectDrawObjects() + TestLiveSurfaces(), 0);
    EXPECT_EQ(TestLiveSoundBuffers(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StartUp,
    ::testing::Values(
        Step{"NoDirectDrawIsReported", FAULT_DIRECTDRAWCREATE,
             DDERR_NODIRECTDRAWHW, "DirectDrawCreate"},
        Step{"NoDirectDraw7IsReported", FAULT_DDRAW_QUERYINTERFACE,
             E_NOINTERFACE, "QueryInterface"},
        Step{"RefusedCooperativeLevelIsReported",
             FAULT_DDRAW_SETCOOPERATIVELEVEL, E_FAIL, "SetCooperativeLevel"},
        Step{"NoPrimarySurfaceIsReported", FAULT_CREATESURFACE_PRIMARY,
             DDERR_OUTOFMEMORY, "CreateSurface lpDDprimary"},
        Step{"NoBackBufferIsReported", FAULT_GETATTACHEDSURFACE, DDERR_NOTFOUND,
             "CreateSurface lpDDback"},
        Step{"NoPictureSurfaceIsReported", FAULT_CREATESURFACE_OFFSCREEN,
             E_FAIL, "CreateSurface lpDDbmp1"},
        Step{"NoPictureFileIsReported", FAULT_COUNT, S_OK,
             "CreateSurface lpDDbmp1"},
        Step{"RefusedModeStartsTheGame", FAULT_SETDISPLAYMODE,
             DDERR_INVALIDMODE, nullptr},
        Step{"PositiveResultStartsTheGame", FAULT_DDRAW_SETCOOPERATIVELEVEL, 1,
             nullptr}),
    CaseName());

} // namespace
