// The conversions every service shares: code page 936 (the game's texts),
// UTF-16 (resources, COM file names) and UTF-8 (SDL, fontconfig, files).
#include <gtest/gtest.h>

#include <thread>

#include "platform/kernel/codepage.h"

namespace {

// Code page 936 to UTF-8: a byte that starts nothing is '?', a character
// cut at the end goes. UTF-16 to both: what code page 936 has no character
// for becomes '?', a surrogate pair one. UTF-8 to code points of each length.
TEST(CodePage, ConvertsBetweenCodePage936Utf16AndUtf8) {
    for (auto [ansi, utf8] :
         {std::pair<std::string, std::string>{"score 12", "score 12"},
          {"\xbc\xb6\xb1\xf0:1", "级别:1"}, // level label
          {"a\xffz", "a?z"},
          {"ok\xbc", "ok"}})
        EXPECT_EQ(AnsiToUtf8(ansi.data(), ansi.size()), utf8) << utf8;
    EXPECT_EQ(WideToAnsi(u"关于 ok", 5), "\xb9\xd8\xd3\xda ok");
    EXPECT_EQ(WideToAnsi(u"x\U0001F600y", 4), "x?y");
    const std::u16string many(1000, u'中'); // past one conversion pass
    EXPECT_EQ(WideToAnsi(many.data(), many.size()).size(), 2000u);
    EXPECT_EQ(WideToUtf8(u"音乐.mp3", 6), "音乐.mp3");
    EXPECT_EQ(WideToUtf8(u"\U0001F3B5", 2), "\U0001F3B5");
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
