// The conversions every service shares: code page 936 (the game's texts),
// UTF-16 (resources, COM file names) and UTF-8 (SDL, fontconfig, files).
#include <gtest/gtest.h>

#include <thread>

#include "platform/kernel/codepage.h"

namespace {

TEST(CodePage, AnsiToUtf8) {
    const struct {
        std::string ansi, utf8;
    } cases[] = {
        {"score 12", "score 12"},
        {"\xbc\xb6\xb1\xf0:1", "级别:1"}, // the HUD's level label
        {"a\xff"
         "b",
         "a?b"},          // a byte that starts nothing
        {"ok\xbc", "ok"}, // a character cut at the end
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiToUtf8(c.ansi.data(), c.ansi.size()), c.utf8) << c.utf8;
}

TEST(CodePage, WideToAnsi) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    const struct {
        std::u16string wide;
        std::string ansi;
    } cases[] = {
        {u"关于 ok", "\xb9\xd8\xd3\xda ok"},
        {u"aกb", "a?b"},                   // Thai: not in GBK
        {u"x\U0001F600y", "x?y"},          // a surrogate pair is one '?'
        {std::u16string(lone, 4), "a?b?"}, // lone halves, one at the end
        {std::u16string(1000, u'中'), std::string(1000, '\0')},
    };
    for (const auto& c : cases) {
        std::string ansi = WideToAnsi(c.wide.data(), c.wide.size());
        if (c.ansi[0] == '\0')
            EXPECT_EQ(ansi.size(), 2000u); // longer than one conversion pass
        else
            EXPECT_EQ(ansi, c.ansi);
    }
}

TEST(CodePage, WideToUtf8) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(WideToUtf8(u"音乐.mp3", 6), "音乐.mp3");
    EXPECT_EQ(WideToUtf8(u"\U0001F3B5", 2), "\U0001F3B5");
    EXPECT_EQ(WideToUtf8(lone, 4), "a\uFFFDb\uFFFD");
}

TEST(CodePage, Utf8ToCodePointsOfEveryLength) {
    std::vector<uint32_t> points;
    Utf8ToCodePoints("a\u00e9\u4e2d\U0001F3B5", &points);
    EXPECT_EQ(points, (std::vector<uint32_t>{'a', 0xE9, 0x4E2D, 0x1F3B5}));
}

// The game's thread and the mixer's may both convert at once.
TEST(CodePage, ConvertsFromTwoThreadsAtOnce) {
    const std::u16string text(300, u'中');
    auto convert = [&] {
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(WideToAnsi(text.data(), text.size()).size(), 600u);
    };
    std::thread other(convert);
    convert();
    other.join();
}

} // namespace
