// The HUD lines, byte for byte: the game's sources are UTF-8 and compiled to
// GBK (code page 936); these expectations are written as GBK bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "game/hud.h"

namespace {

// The Chinese words of the lines, in GBK.
const std::string kNextLevel = "\xcf\xc2\xbc\xb6\xd0\xe8\xd2\xaa"; // 下级需要
const std::string kVolume = "\xd2\xf4\xc1\xbf";                    // 音量
const std::string kInterval = "\xbc\xe4\xb8\xf4";                  // 间隔
const std::string kLevel = "\xbc\xb6\xb1\xf0";                     // 级别
const std::string kScore = "\xb7\xd6\xca\xfd";                     // 分数
const std::string kMusic = "\xd2\xf4\xc0\xd6";                     // 音乐
const std::string kProgress = "\xbd\xf8\xb6\xc8";                  // 进度

std::string Hex(const std::string& bytes) {
    std::string hex;
    char two[3];
    for (unsigned char c : bytes) {
        snprintf(two, sizeof(two), "%02x", c);
        hex += two;
    }
    return hex;
}

// A line buffer with a guard after it, to see that nothing runs past.
struct GuardedLine {
    char line[HUD_LINE_SIZE];
    char guard[32];
    GuardedLine() {
        memset(line, 'Z', sizeof(line));
        memset(guard, 'G', sizeof(guard));
    }
    bool GuardIntact() const {
        for (char c : guard)
            if (c != 'G') return false;
        return true;
    }
};

TEST(HudLines, LevelLineIsGbkWithThreeSpaces) {
    GuardedLine out;
    FormatLevelLine(out.line, 1, 0);
    EXPECT_EQ(Hex(out.line), "bcb6b1f03a31202020b7d6cafd3a30");
    FormatLevelLine(out.line, 255, 65280);
    EXPECT_EQ(std::string(out.line), kLevel + ":255   " + kScore + ":65280");
    EXPECT_TRUE(out.GuardIntact());
}

TEST(HudLines, StatusLineShowsEveryValueInOrder) {
    GuardedLine out;
    FormatStatusLine(out.line, 2, 0, 0, 0, 0, 0, 5000, 5000);
    EXPECT_EQ(std::string(out.line),
              kNextLevel + ":2 x:0 y:0 Count:0 MaxCount:0 " + kVolume + ":0 " +
                  kInterval + ":5000 5000");
    FormatStatusLine(out.line, 110, 973, 669, 7, 12, -1000, 101, 123456);
    EXPECT_EQ(std::string(out.line),
              kNextLevel + ":110 x:973 y:669 Count:7 MaxCount:12 " + kVolume +
                  ":-1000 " + kInterval + ":101 123456");
    EXPECT_TRUE(out.GuardIntact());
}

TEST(HudLines, TickValuesPrintSignedAsWindowsPrintsADwordWithPercentD) {
    GuardedLine out;
    FormatStatusLine(out.line, 65280, 50, 1, 255, 255, -10000, 0xFFFFFFFFu,
                     0x80000000u);
    EXPECT_EQ(std::string(out.line),
              kNextLevel + ":65280 x:50 y:1 Count:255 MaxCount:255 " + kVolume +
                  ":-10000 " + kInterval + ":-1 -2147483648");
    // The longest line there can be still fits.
    EXPECT_LT(strlen(out.line), (size_t)HUD_LINE_SIZE);
    EXPECT_TRUE(out.GuardIntact());
}

TEST(HudLines, HelpLineIsFixedText) {
    GuardedLine out;
    FormatHelpLine(out.line);
    EXPECT_EQ(std::string(out.line),
              "\xbf\xd5\xb8\xf1:\xbf\xaa\xca\xbc/\xd4\xdd\xcd\xa3 a~z:\xb4\xf2 "
              "ESC:\xcd\xcb\xb3\xf6 +/-:" +
                  kVolume);
    EXPECT_TRUE(out.GuardIntact());
}

TEST(HudLines, MusicLineShowsWholeSeconds) {
    GuardedLine out;
    FormatMusicLine(out.line, 0.0, 0.0);
    EXPECT_EQ(std::string(out.line), kMusic + ":0   " + kProgress + ":0");
    FormatMusicLine(out.line, 183.6, 2.4);
    EXPECT_EQ(std::string(out.line), kMusic + ":184   " + kProgress + ":2");
    EXPECT_TRUE(out.GuardIntact());
}

TEST(HudLines, AnAbsurdMusicTimeIsCutAtTheBuffer) {
    // %.0f of 1e300 is 301 digits: the line stops at the buffer's end.
    GuardedLine out;
    FormatMusicLine(out.line, 1e300, -1e300);
    EXPECT_EQ(strlen(out.line), (size_t)HUD_LINE_SIZE - 1);
    EXPECT_EQ(std::string(out.line, 7), kMusic + ":1" + "0");
    EXPECT_TRUE(out.GuardIntact());
    FormatMusicLine(out.line, std::numeric_limits<double>::quiet_NaN(),
                    std::numeric_limits<double>::infinity());
    EXPECT_EQ(std::string(out.line), kMusic + ":nan   " + kProgress + ":inf");
}

} // namespace
