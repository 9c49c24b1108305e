// The pause screen with a keyboard picture larger than the screen: the
// picture's blit is refused, as DirectDraw refuses a destination reaching
// past the edges with no clipper, and the screen stays grey behind the
// title and the HUD, as the Windows build shows it.
#include <cstring>
#include <memory>
#include <tuple>

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
    const std::tuple<const char*, int, int, bool> cases[] = {
        {"a 1280x1024 photo", 1280, 1024, false},
        {"the screen's size", 1024, 768, true},
        {"too tall only", 640, 800, false},
    };
    for (auto [checks, width, height, drawn] : cases) {
        TempDir dir;
        // Its left third white (keyed out), the rest green.
        ASSERT_TRUE(dir.WriteJpeg("finger.jpg", width, height, 0x287828));
        WorkingDirectory here(dir.path);
        ResetGame();
        strcpy(szAppClass, "QelPauseScreenTest");
        RegisterMainWindowClass(GameModule());
        ASSERT_TRUE(InitApplication(GameModule(), SW_SHOW));
        EXPECT_EQ(nPictureWidth, width) << checks;
        TestSetTickCount(5000);
        GameFrame();
        TestSurfaceImage shown = TestSurfacePixels(lpDDprimary);
        // Above the title and the HUD, right of the picture's white third.
        // Pixels not of the grey (its alpha shifted out).
        int green = 0;
        for (int i = 0; i < 100 * 20; ++i)
            green += shown.At(700 + i % 100, 150 + i / 100) << 8 != 0xC8C8C800;
        EXPECT_EQ(green, drawn ? 100 * 20 : 0) << checks;
        ReleaseAll();
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio());
    }
}

} // namespace
