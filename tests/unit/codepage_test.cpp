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
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiToUtf8(c.ansi.data(), c.ansi.size()), c.utf8) << c.utf8;
}

// What the resources and file names hold converts; what code page 936 has
// no character for becomes '?', a surrogate pair one.
TEST(CodePage, WideToAnsiAndUtf8) {
    EXPECT_EQ(WideToAnsi(u"关于 ok", 5), "\xb9\xd8\xd3\xda ok");
    EXPECT_EQ(WideToAnsi(u"x\U0001F600y", 4), "x?y");
    const std::u16string many(1000, u'中'); // past one conversion pass
    EXPECT_EQ(WideToAnsi(many.data(), many.size()).size(), 2000u);
    EXPECT_EQ(WideToUtf8(u"音乐.mp3", 6), "音乐.mp3");
    EXPECT_EQ(WideToUtf8(u"\U0001F3B5", 2), "\U0001F3B5");
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
