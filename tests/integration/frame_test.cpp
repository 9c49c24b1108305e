// GameFrame over a real InitDirectX: the pause screen, the falling letters
// and their pacing by the tick count, the music check, Escape, and each
// failure of the display set-up. Frames are read back from the primary.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/music.h"
#include "display/display.h"
#include "display/surface_text.h"
#include "game/frame.h"
#include "game/letters.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "testing/fault.h"
#include "testing/ddraw.h"

namespace {

const uint32_t kGrey = 0xC8C8C8;
const uint32_t kGreen = 0x287828; // red 40, green 120, blue 40

// The test picture: 320 by 160, its left half pure white (keyed out), the
// top right green and the bottom right near-white (drawn). The regions lie
// on JPEG's 16-pixel blocks, so that at quality 100 they decode unchanged.
enum { kPictureWidth = 320, kPictureHeight = 160 };
const int kPictureLeft = (1024 - kPictureWidth) / 2; // 352
const int kPictureTop = (768 - kPictureHeight) / 2;  // 304

uint32_t TestPictureColour(int x, int y) {
    if (x < kPictureWidth / 2) return 0xFFFFFF;
    return y < kPictureHeight / 2 ? kGreen : 0xFAFAFA;
}

bool WriteJpeg(const char* path, int width, int height,
               uint32_t (*colourAt)(int, int)) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(
        0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (!surface) return false;
    for (int y = 0; y < height; ++y) {
        auto* row = (uint32_t*)((uint8_t*)surface->pixels + y * surface->pitch);
        for (int x = 0; x < width; ++x)
            row[x] = colourAt(x, y);
    }
    int result = IMG_SaveJPG(surface, path, 100);
    SDL_FreeSurface(surface);
    return result == 0;
}

int Channel(uint32_t pixel, int shift) {
    return (int)((pixel >> shift) & 255);
}

bool Near(uint32_t pixel, uint32_t wanted, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(Channel(pixel, shift) - Channel(wanted, shift)) >
            tolerance)
            return false;
    return true;
}

// Pixels in the box (right and bottom excluded) that `match` accepts.
template <typename Match>
int CountIn(const TestSurfaceImage& image, int left, int top, int right,
            int bottom, Match match) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += match(image.At(x, y)) ? 1 : 0;
    return n;
}

bool Reddish(uint32_t p) {
    return Channel(p, 16) >= 200 && Channel(p, 8) <= 60 && Channel(p, 0) <= 60;
}
bool Bluish(uint32_t p) {
    return Channel(p, 0) >= 200 && Channel(p, 8) <= 60 && Channel(p, 16) <= 60;
}
bool Blackish(uint32_t p) {
    return (p & 0xFFFFFF) != 0 && Near(p, 0, 40);
}
bool Greyish(uint32_t p) {
    return Near(p, 0x646464, 20);
}

// The music position as a media graph would report it; records the calls.
class FakePosition : public IMediaPosition {
  public:
    virtual ~FakePosition() = default;
    double stopTime = 120.0;
    double position = 10.0;
    int stopTimeReads = 0;
    std::vector<double> seeks;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT get_Duration(REFTIME* length) override {
        *length = stopTime;
        return S_OK;
    }
    HRESULT put_CurrentPosition(REFTIME time) override {
        seeks.push_back(time);
        position = time;
        return S_OK;
    }
    HRESULT get_CurrentPosition(REFTIME* time) override {
        *time = position;
        return S_OK;
    }
    HRESULT get_StopTime(REFTIME* time) override {
        ++stopTimeReads;
        *time = stopTime;
        return S_OK;
    }
};

class FrameTest : public PlatformTest {
  protected:
    std::string folder;
    std::string previousFolder;

    void SetUp() override {
        PlatformTest::SetUp();
        TestResetDirectDraw();
        ResetGame();
        musicPlayer = MusicPlayer{};
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof(buffer)), nullptr);
        previousFolder = buffer;
        char name[] = "/tmp/qel-frame-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        ASSERT_EQ(chdir(folder.c_str()), 0);
        ASSERT_TRUE(WriteJpeg("finger.jpg", kPictureWidth, kPictureHeight,
                              TestPictureColour));

        WNDCLASSEXA cls = {};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.lpszClassName = "QelFrameTest";
        ASSERT_NE(RegisterClassExA(&cls), 0);
        hMainWindow =
            CreateWindowExA(0, "QelFrameTest", "Qel", WS_POPUP, 0, 0, 1024, 768,
                            nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hMainWindow, nullptr);
    }

    void TearDown() override {
        // The game's own shutdown, then back to a new process's state. The
        // music tests' fake position lived on their stacks: gone by now.
        musicPlayer.pPosition = nullptr;
        ReleaseAll();
        lpDD = nullptr;
        lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
        nPictureWidth = nPictureHeight = 0;
        hLetterFont = hHudFont = nullptr;
        hMainWindow = nullptr;
        musicPlayer = MusicPlayer{};
        EXPECT_EQ(TestLiveSurfaces(), 0);
        EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
        remove("finger.jpg");
        EXPECT_EQ(chdir(previousFolder.c_str()), 0);
        rmdir(folder.c_str());
        TestResetDirectDraw();
        ResetGame();
        PlatformTest::TearDown();
    }

    // The display's message boxes ("Error"). With no sound device the sound
    // effects add their own ("ERROR"), which is not this test's business.
    static std::vector<TestMessageBox> DisplayBoxes() {
        std::vector<TestMessageBox> boxes;
        for (const TestMessageBox& box : TestMessageBoxes())
            if (box.caption != "ERROR") boxes.push_back(box);
        return boxes;
    }

    // As the game starts: set up, then show the window.
    void Start() {
        ASSERT_EQ(InitDirectX(hMainWindow), 0);
        ASSERT_TRUE(DisplayBoxes().empty());
        ShowWindow(hMainWindow, SW_SHOWNORMAL);
    }

    static void Frame(DWORD tick) {
        TestSetTickCount(tick);
        GameFrame();
    }

    // The frame on screen: the front buffer after the flip.
    static TestSurfaceImage Shown() { return TestSurfacePixels(lpDDprimary); }
};

// ------------------------------------------------------------- pause screen

TEST_F(FrameTest, PauseScreenShowsThePictureCentredWithItsWhiteKeyedOut) {
    Start();
    EXPECT_EQ(nPictureWidth, kPictureWidth);
    EXPECT_EQ(nPictureHeight, kPictureHeight);
    Frame(5000);
    EXPECT_EQ(TestFlipCount(), 1);
    TestSurfaceImage shown = Shown();
    ASSERT_EQ(shown.width, 1024);

    for (auto corner : {std::make_pair(0, 0), std::make_pair(1023, 0),
                        std::make_pair(0, 767), std::make_pair(1023, 767)})
        EXPECT_EQ(shown.At(corner.first, corner.second), kGrey);
    // The window shows the same frame.
    EXPECT_EQ(TestScreenPixel(0, 0), kGrey);

    // The white half lets the grey through.
    int left = kPictureLeft, top = kPictureTop;
    // (Its last column takes a tint of the green's colour from JPEG's
    // chroma upsampling: near-white, and drawn.)
    EXPECT_EQ(CountIn(shown, left, top, left + 159, top + 160,
                      [](uint32_t p) { return p != kGrey; }),
              0);
    // The green quarter and the near-white quarter are drawn, up to the
    // picture's last column and row.
    EXPECT_TRUE(Near(shown.At(left + 168, top + 8), kGreen, 6));
    EXPECT_TRUE(Near(shown.At(left + 319, top + 40), kGreen, 6));
    uint32_t nearWhite = shown.At(left + 240, top + 120);
    EXPECT_TRUE(Near(nearWhite, 0xFAFAFA, 3));
    EXPECT_NE(nearWhite, 0xFFFFFFu);
    EXPECT_TRUE(Near(shown.At(left + 240, top + 159), 0xFAFAFA, 3));
    // Nothing of it outside its rectangle.
    EXPECT_EQ(shown.At(left + 320, top + 40), kGrey);
    EXPECT_EQ(shown.At(left + 240, top - 1), kGrey);
    EXPECT_EQ(shown.At(left + 240, top + 160), kGrey);

    // "暂停Pause" at (472, 200) and "Dunmarl" at (492, 180), in red.
    EXPECT_GT(CountIn(shown, 472, 200, 700, 222, Reddish), 10);
    EXPECT_GT(CountIn(shown, 492, 180, 700, 200, Reddish), 5);
    EXPECT_EQ(CountIn(shown, 0, 150, 470, 230, Reddish), 0);
}

TEST_F(FrameTest, HudLinesAreDrawnAtTheirRowsInTheirColours) {
    Start();
    Frame(5000);
    TestSurfaceImage shown = Shown();
    // Level and score, red, at 688; the status line, black, at 718; keys
    // and music, grey, at 738.
    EXPECT_GT(CountIn(shown, 100, 688, 400, 708, Reddish), 10);
    EXPECT_GT(CountIn(shown, 100, 718, 1024, 738, Blackish), 50);
    EXPECT_GT(CountIn(shown, 100, 738, 480, 760, Greyish), 50);
    EXPECT_GT(CountIn(shown, 500, 738, 1024, 760, Greyish), 10);
    EXPECT_EQ(
        CountIn(shown, 0, 680, 100, 768, [](uint32_t p) { return p != kGrey; }),
        0);
}

TEST_F(FrameTest, PictureLargerThanTheScreenIsCentredAndClipped) {
    remove("finger.jpg");
    // 1100 by 800 with its left 48 columns white: centred at (-38, -16),
    // so screen columns 0..9 show white (keyed out) and 10.. green.
    ASSERT_TRUE(WriteJpeg("finger.jpg", 1100, 800, [](int x, int) {
        return x < 48 ? 0xFFFFFFu : kGreen;
    }));
    Start();
    Frame(5000);
    TestSurfaceImage shown = Shown();
    EXPECT_EQ(shown.At(2, 300), kGrey);
    EXPECT_TRUE(Near(shown.At(20, 300), kGreen, 6));
    EXPECT_TRUE(Near(shown.At(1023, 0), kGreen, 6));
    EXPECT_TRUE(Near(shown.At(1023, 767), kGreen, 6));
}

// ------------------------------------------------------------- letters

TEST_F(FrameTest, SpawnedLetterStandsAtRowOneAfterItsFirstPass) {
    Start();
    game.running = true;
    Frame(10000);
    ASSERT_TRUE(letters[0].alive);
    EXPECT_EQ(game.liveCount, 1);
    EXPECT_EQ(game.highWater, 1);
    EXPECT_EQ(letters[0].y, 1);
    EXPECT_EQ(game.lastSpawnTick, 10000u);
    EXPECT_EQ(game.lastFallTick, 10000u);
    TestSurfaceImage shown = Shown();
    int x = letters[0].x;
    EXPECT_GT(CountIn(shown, x, 1, x + 60, 62, Bluish), 10);
    // Running: no picture, no pause title.
    EXPECT_EQ(shown.At(kPictureLeft + 240, kPictureTop + 40), kGrey);
    EXPECT_EQ(CountIn(shown, 472, 180, 700, 222, Reddish), 0);
}

struct Pace {
    int level;
    DWORD spawnInterval;
    DWORD fallInterval;
};

class FramePacing : public FrameTest,
                    public ::testing::WithParamInterface<Pace> {};

TEST_P(FramePacing, LettersFallOnlyOnceTheFallIntervalIsExceeded) {
    const Pace pace = GetParam();
    Start();
    game.level = pace.level;
    game.running = true;
    const DWORD start = 100000;
    Frame(start);
    ASSERT_EQ(letters[0].y, 1);
    // Exactly the interval is not enough (at 0: the same tick again).
    Frame(start + pace.fallInterval);
    EXPECT_EQ(letters[0].y, 1);
    Frame(start + pace.fallInterval + 1);
    EXPECT_EQ(letters[0].y, 2);
    EXPECT_EQ(game.lastFallTick, start + pace.fallInterval + 1);
    // However long the gap, one step per pass.
    Frame(start + 60000);
    EXPECT_EQ(letters[0].y, 3);
}

TEST_P(FramePacing, LettersSpawnOnlyOnceTheSpawnIntervalIsExceeded) {
    const Pace pace = GetParam();
    Start();
    game.level = pace.level;
    game.running = true;
    const DWORD start = 100000;
    Frame(start);
    EXPECT_EQ(game.liveCount, 1);
    Frame(start + pace.spawnInterval);
    EXPECT_EQ(game.liveCount, 1);
    Frame(start + pace.spawnInterval + 1);
    // At level 1 one letter is all there may be.
    int expected = pace.level >= 2 ? 2 : 1;
    EXPECT_EQ(game.liveCount, expected);
    EXPECT_EQ(game.lastSpawnTick,
              expected == 2 ? start + pace.spawnInterval + 1 : start);
    if (expected == 2) {
        // Both letters step in the same pass, or neither does.
        int first = letters[0].y, second = letters[1].y;
        DWORD next = start + pace.spawnInterval + 2 + pace.fallInterval;
        Frame(next);
        EXPECT_EQ(letters[0].y, first + 1);
        EXPECT_EQ(letters[1].y, second + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, FramePacing,
                         ::testing::Values(Pace{1, 5000, 100}, Pace{50, 100, 2},
                                           Pace{101, 49, 0}),
                         [](const ::testing::TestParamInfo<Pace>& info) {
                             return "Level" + std::to_string(info.param.level);
                         });

TEST_F(FrameTest, ExpiringLetterIsDrawnAt669OnceAndThenGone) {
    Start();
    game.running = true;
    Frame(10000);
    ASSERT_TRUE(letters[0].alive);
    letters[0].x = 20; // clear of the HUD, which starts at column 100
    letters[0].y = 667;
    Frame(10101);
    EXPECT_EQ(letters[0].y, 668);
    EXPECT_TRUE(letters[0].alive);
    Frame(10202);
    EXPECT_EQ(letters[0].y, 669);
    EXPECT_FALSE(letters[0].alive);
    EXPECT_EQ(game.liveCount, 0);
    EXPECT_EQ(game.score, 0);
    EXPECT_GT(CountIn(Shown(), 20, 669, 90, 730, Bluish), 10);
    Frame(10303);
    EXPECT_EQ(letters[0].y, 669);
    EXPECT_EQ(CountIn(Shown(), 0, 0, 1024, 768, Bluish), 0);
    // With nothing live the fall tick stands still.
    EXPECT_EQ(game.lastFallTick, 10202u);
}

// ------------------------------------------------------------- music check

TEST_F(FrameTest, MusicCheckRunsWhenMoreThanASecondHasPassed) {
    Start();
    FakePosition position;
    musicPlayer.pPosition = &position;
    Frame(5000);
    EXPECT_EQ(position.stopTimeReads, 1);
    EXPECT_EQ(game.musicStopTime, 120.0);
    EXPECT_EQ(game.musicPosition, 10.0);
    EXPECT_EQ(game.lastMusicTick, 5000u);
    Frame(6000); // exactly one second: not yet
    EXPECT_EQ(position.stopTimeReads, 1);
    Frame(6001);
    EXPECT_EQ(position.stopTimeReads, 2);
    EXPECT_EQ(game.lastMusicTick, 6001u);
    EXPECT_TRUE(position.seeks.empty());

    position.position = 117.0; // 3.0 s left: not less than 3.0
    Frame(7002);
    EXPECT_TRUE(position.seeks.empty());
    position.position = 117.5; // 2.5 s left: back to the start
    Frame(8003);
    ASSERT_EQ(position.seeks.size(), 1u);
    EXPECT_EQ(position.seeks[0], 0.0);
    EXPECT_EQ(game.musicPosition, 117.5); // as read, before the seek
}

TEST_F(FrameTest, MusicCheckRunsWhileRunningToo) {
    Start();
    FakePosition position;
    position.stopTime = 2.0; // shorter than 3 s: back to 0 at every check
    position.position = 1.0;
    musicPlayer.pPosition = &position;
    game.running = true;
    Frame(5000);
    Frame(6001);
    Frame(6500);
    EXPECT_EQ(position.stopTimeReads, 2);
    EXPECT_EQ(position.seeks.size(), 2u);
}

TEST_F(FrameTest, HudShowsThePreviousChecksTimes) {
    Start();
    FakePosition position;
    musicPlayer.pPosition = &position;
    // The music line (and the fixed key line beside it), rows 738 to 767.
    auto musicRows = []() {
        TestSurfaceImage shown = Shown();
        return std::vector<uint32_t>(shown.pixels.begin() + 738 * 1024,
                                     shown.pixels.end());
    };
    Frame(5000); // checks, but shows 0 and 0
    std::vector<uint32_t> zeros = musicRows();
    Frame(5500); // shows 120 and 10
    std::vector<uint32_t> first = musicRows();
    EXPECT_NE(first, zeros);
    position.stopTime = 240.0;
    position.position = 20.0;
    Frame(6001); // checks again, still shows 120 and 10
    EXPECT_EQ(musicRows(), first);
    Frame(6100); // shows 240 and 20
    EXPECT_NE(musicRows(), first);
}

TEST_F(FrameTest, WithoutMusicTheCheckOnlyMovesItsTick) {
    Start();
    Frame(5000);
    EXPECT_EQ(game.lastMusicTick, 5000u);
    EXPECT_EQ(game.musicStopTime, 0.0);
    EXPECT_EQ(game.musicPosition, 0.0);
}

// ------------------------------------------------------------- Escape

TEST_F(FrameTest, EscapeHeldDownPostsQuitAfterTheFlip) {
    Start();
    MSG msg;
    Frame(5000);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    TestSetKeyState(VK_ESCAPE, true);
    Frame(5016);
    EXPECT_EQ(TestFlipCount(), 2);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    TestSetKeyState(VK_ESCAPE, false);
}

// ------------------------------------------------------------- set-up failures

struct SetupFailure {
    FaultCall call;
    const char* message; // the box InitDirectX shows
};

class InitDirectXFailure : public FrameTest,
                           public ::testing::WithParamInterface<SetupFailure> {
};

TEST_P(InitDirectXFailure, ShowsOneBoxAndReturnsTheFailure) {
    const HRESULT failure = DDERR_SURFACEBUSY; // any negative result
    TestFailNext(GetParam().call, failure);
    EXPECT_EQ(InitDirectX(hMainWindow), failure);
    std::vector<TestMessageBox> boxes = DisplayBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    const TestMessageBox& box = boxes[0];
    EXPECT_EQ(box.text, GetParam().message);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.owner, hMainWindow);
    EXPECT_EQ(box.type, (UINT)MB_OK);
    // The fonts come last: they are never made after a failure.
    EXPECT_EQ(hLetterFont, nullptr);
    EXPECT_EQ(hHudFont, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InitDirectXFailure,
    ::testing::Values(
        SetupFailure{FAULT_DIRECTDRAWCREATE, "DirectDrawCreate"},
        SetupFailure{FAULT_DDRAW_QUERYINTERFACE, "QueryInterface"},
        SetupFailure{FAULT_DDRAW_SETCOOPERATIVELEVEL, "SetCooperativeLevel"},
        SetupFailure{FAULT_CREATESURFACE_PRIMARY, "CreateSurface lpDDprimary"},
        SetupFailure{FAULT_GETATTACHEDSURFACE, "CreateSurface lpDDback"},
        SetupFailure{FAULT_CREATESURFACE_OFFSCREEN, "CreateSurface lpDDbmp1"}),
    [](const ::testing::TestParamInfo<SetupFailure>& info) {
        std::string name;
        for (const char* c = info.param.message; *c; ++c)
            if (*c != ' ') name += *c;
        return name;
    });

TEST_F(FrameTest, FailedQueryInterfaceLeavesNoObjectBehind) {
    TestFailNext(FAULT_DDRAW_QUERYINTERFACE, E_NOINTERFACE);
    EXPECT_EQ(InitDirectX(hMainWindow), E_NOINTERFACE);
    EXPECT_EQ(lpDD, nullptr);
    EXPECT_EQ(TestLiveDirectDrawObjects(), 0);
}

TEST_F(FrameTest, PictureFailureComesAfterTheSurfacesWhichStay) {
    TestFailNext(FAULT_CREATESURFACE_OFFSCREEN, DDERR_OUTOFMEMORY);
    EXPECT_EQ(InitDirectX(hMainWindow), DDERR_OUTOFMEMORY);
    EXPECT_NE(lpDD, nullptr);
    EXPECT_NE(lpDDprimary, nullptr);
    EXPECT_NE(lpDDback, nullptr);
    EXPECT_EQ(lpDDbmp1, nullptr);
    EXPECT_EQ(TestLiveSurfaces(), 2);
}

TEST_F(FrameTest, MissingPictureStopsTheSetUpAtThePictureSurface) {
    remove("finger.jpg");
    EXPECT_EQ(InitDirectX(hMainWindow), DDERR_INVALIDPARAMS);
    EXPECT_EQ(nPictureWidth, 0);
    ASSERT_EQ(DisplayBoxes().size(), 1u);
    EXPECT_EQ(DisplayBoxes()[0].text, "CreateSurface lpDDbmp1");
}

TEST_F(FrameTest, NoDisplayFailsAtDirectDrawCreate) {
    // Video is up already (the window exists); without the variable that
    // chose the offscreen driver on purpose, that driver is no display.
    const char* set = getenv("SDL_VIDEODRIVER");
    if (!set) GTEST_SKIP() << "runs under SDL_VIDEODRIVER=offscreen";
    std::string chosen = set;
    unsetenv("SDL_VIDEODRIVER");
    HRESULT hr = InitDirectX(hMainWindow);
    setenv("SDL_VIDEODRIVER", chosen.c_str(), 1);
    EXPECT_EQ(hr, DDERR_NODIRECTDRAWHW);
    ASSERT_EQ(DisplayBoxes().size(), 1u);
    EXPECT_EQ(DisplayBoxes()[0].text, "DirectDrawCreate");
}

TEST_F(FrameTest, RefusedModeAndPositiveResultsCountAsSuccess) {
    TestFailNext(FAULT_SETDISPLAYMODE, DDERR_INVALIDMODE);
    TestFailNext(FAULT_DDRAW_SETCOOPERATIVELEVEL, 1);
    TestFailNext(FAULT_CREATESURFACE_PRIMARY, 2);
    EXPECT_EQ(InitDirectX(hMainWindow), 0);
    EXPECT_TRUE(DisplayBoxes().empty());
    EXPECT_NE(lpDDbmp1, nullptr);
    EXPECT_NE(hHudFont, nullptr);
}

} // namespace
