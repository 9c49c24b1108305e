// The pause screen with a keyboard picture larger than the screen: the
// picture's blit is refused, as DirectDraw refuses a destination reaching
// past the edges with no clipper, and the screen stays grey behind the
// title and the HUD, as the Windows build shows it.
#include <cstring>
#include <memory>

#include "app/app.h"
#include "audio/music.h"
#include "display/display.h"
#include "game/frame.h"
#include "game_state.h"
#include "platform_fixture.h"
#include "temp_dir.h"
#include "testing/seams.h"

namespace {

class PauseScreen : public PlatformTest {};

TEST_F(PauseScreen, APictureLargerThanTheScreenLeavesItGrey) {
    struct Case {
        const char* checks;
        int width, height;
        bool drawn;
    } cases[] = {
        {"a 1280x1024 photo", 1280, 1024, false},
        {"the screen's size", 1024, 768, true},
        {"two pixels too wide", 1026, 768, false},
        {"too tall only", 640, 800, false},
        {"the game's own size", 640, 480, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checks);
        TempDir dir;
        // Its left third white (keyed out), the rest green.
        ASSERT_TRUE(dir.WriteJpeg("finger.jpg", c.width, c.height, 0x287828));
        WorkingDirectory here(dir.path);
        PlatformTest::SetUp();
        TestResetDirectDraw();
        ResetGame();
        musicPlayer = MusicPlayer{};
        lpDD = nullptr, lpDDprimary = lpDDback = lpDDbmp1 = nullptr;
        strcpy(szAppClass, "QelPauseScreenTest");
        RegisterMainWindowClass(GameModule());
        ASSERT_TRUE(InitApplication(GameModule(), SW_SHOW));
        EXPECT_EQ(nPictureWidth, c.width);
        TestSetTickCount(5000);
        GameFrame();
        TestSurfaceImage shown = TestSurfacePixels(lpDDprimary);
        // Above the title and the HUD, right of the picture's white third.
        int green = 0;
        for (int y = 150; y < 170; ++y)
            for (int x = 700; x < 800; ++x)
                green += (shown.At(x, y) & 0xFFFFFF) != 0xC8C8C8;
        EXPECT_EQ(green, c.drawn ? 100 * 20 : 0);
        ReleaseAll();
        ResetGame();
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio());
        PlatformTest::TearDown();
    }
}

} // namespace
