// The resource stand-in over the game's compiled resources, and over small
// .res images made here for what the game's own cannot show.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "app/resources/resource.h"
#include "gdi/dc.h"
#include "resource_data.h"
#include "user/resource_private.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void Put32(Bytes& out, uint32_t v) {
    for (int shift : {0, 8, 16, 24})
        out.push_back((uint8_t)(v >> shift));
}

// A .res image as windres writes one: the empty leading entry, then each
// resource with ordinal type and name, in Chinese (PRC), 32-bit aligned.
Bytes Res(std::vector<std::tuple<uint32_t, uint32_t, Bytes>> resources) {
    resources.insert(resources.begin(), {0, 0, {}});
    Bytes out;
    for (const auto& [type, name, data] : resources) {
        for (uint32_t v : {(uint32_t)data.size(), 32u, 0xFFFFu | type << 16,
                           0xFFFFu | name << 16, 0u, 0x08041030u, 0u, 0u})
            Put32(out, v);
        out.insert(out.end(), data.begin(), data.end());
        out.resize((out.size() + 3) & ~3u);
    }
    return out;
}

// The game's resources are the module in each test, and again after it as
// the other tests of the binary expect.
class Resources : public ::testing::Test {
  protected:
    HINSTANCE game = nullptr;
    std::vector<uint32_t> argb; // an icon image read, w by h
    int w = 0, h = 0;

    void SetUp() override {
        game = UserCreateModule(qelResourceData, qelResourceSize);
        ASSERT_NE(game, nullptr);
    }
    void TearDown() override { SetUp(); }
    const uint8_t* Find(LPCSTR type, WORD name, DWORD& size) {
        return (const uint8_t*)UserFindResource(game, type,
                                                MAKEINTRESOURCEA(name), &size);
    }
};

std::string LoadString(HINSTANCE instance, UINT id, int size) {
    std::vector<char> buffer(size, 'x');
    int n = LoadStringA(instance, id, buffer.data(), size);
    std::string s(buffer.begin(), std::find(buffer.begin(), buffer.end(), 0));
    EXPECT_EQ((size_t)n, s.size());
    return s;
}

// LoadStringA as the game calls it, and cut to smaller buffers: between two
// characters of code page 936, always terminated. The manifest and the
// version information before the strings, which only Windows reads, are
// passed over whatever their length (the game's module holds both).
TEST_F(Resources, LoadStringGivesCodePage936CutBetweenCharacters) {
    for (UINT id : {STR_TITLE, RES_MAIN})
        EXPECT_EQ(LoadString(game, id, 100), "Qel");
    Bytes block; // ids 16, 17 and 18 (empty) of block 2
    for (std::u16string s : {u"关于文件", u"a关于", u""}) {
        block.insert(block.end(), {(uint8_t)s.size(), 0});
        for (char16_t c : s)
            block.insert(block.end(), {(uint8_t)c, (uint8_t)(c >> 8)});
    }
    const std::string gbk = "\xb9\xd8\xd3\xda\xce\xc4\xbc\xfe"; // 关于文件
    const struct {
        UINT id;
        int size;
        std::string text;
    } cases[] = {{16, 9, gbk},  {16, 8, gbk.substr(0, 6)},
                 {17, 3, "a"},  {17, 1, ""},
                 {18, 100, ""}, {STR_TITLE, 100, ""}}; // no such block
    for (size_t length : {1, 2, 3, 4}) {
        Bytes res = Res({{24, 1, Bytes(length, '<')},
                         {16, 1, Bytes(length + 1, 1)},
                         {6, 2, block}});
        ASSERT_EQ(UserCreateModule(res.data(), res.size()), game);
        for (const auto& c : cases)
            EXPECT_EQ(LoadString(game, c.id, c.size), c.text)
                << "id " << c.id << " into " << c.size << " after " << length;
    }
}

// The menu bar: File with Exit and Help with About, the commands the window
// procedure handles, each with its mnemonic.
TEST_F(Resources, MenuHasFileExitAndHelpAbout) {
    DWORD size = 0;
    const uint8_t* data = Find(RT_MENU, RES_MAIN, size);
    UserMenu menu;
    ASSERT_TRUE(UserParseMenu(data, size, menu));
    std::vector<std::tuple<std::u16string, std::u16string, WORD>> items;
    for (const UserMenuPopup& popup : menu.popups)
        for (const UserMenuItem& item : popup.items)
            items.emplace_back(popup.text, item.text, item.id);
    EXPECT_EQ(items,
              (decltype(items){{u"文件(&F)", u"退出(&X)", CMD_EXIT},
                               {u"帮助(&H)", u"关于(&A)...", CMD_ABOUT}}));
}

// The About box, as the player reads it: its caption, the game's icon, the
// version line as written, what the game is for, and OK, the default button.
TEST_F(Resources, AboutBoxShowsIconVersionAndOk) {
    DWORD size = 0;
    const uint8_t* data = Find(RT_DIALOG, DLG_ABOUT, size);
    UserDialogTemplate t;
    ASSERT_TRUE(UserParseDialog(data, size, t));
    EXPECT_EQ(t.caption, u"关于");
    std::vector<std::tuple<int, WORD, std::u16string>> items;
    for (const UserDialogItem& item : t.items)
        items.emplace_back(item.id, item.textOrdinal, item.text);
    EXPECT_EQ(items, (decltype(items){{CTL_ABOUT_ICON, ICON_LARGE, u""},
                                      {-1, 0, u"Qel Version 1.0"},
                                      {-1, 0, u"打字练习：击落下落的字母"},
                                      {IDOK, 0, u"确定"}}));
    EXPECT_TRUE(t.items[3].style & BS_DEFPUSHBUTTON);
}

// The game's two icons: one shared handle a group, with the true-colour
// image of each size, opaque in the middle and clear at the rounded corner.
TEST_F(Resources, GameIconsHaveTheirTrueColourImages) {
    HICON large = LoadIconA(game, MAKEINTRESOURCEA(ICON_LARGE));
    HICON small = LoadIconA(game, MAKEINTRESOURCEA(ICON_SMALL));
    ASSERT_TRUE(large && small && large != small);
    EXPECT_EQ(LoadIconA(game, MAKEINTRESOURCEA(ICON_LARGE)), large);
    for (HICON icon : {large, small})
        for (int size : {16, 32, 48}) {
            ASSERT_TRUE(UserIconImage(icon, size, argb, w, h)) << size;
            EXPECT_TRUE(w == size && h == size && argb.size() == w * 1u * h);
            EXPECT_EQ(argb[size / 2 * size + size / 2] >> 24, 255u);
            EXPECT_LT(argb[0] >> 24, 128u);
        }
    EXPECT_FALSE(UserIconImage(large, 24, argb, w, h));
    // A new module's icons replace the old, whose handles read as none.
    UserCreateModule(qelResourceData, qelResourceSize);
    EXPECT_FALSE(UserIconImage(large, 16, argb, w, h));
}

// A 2 by 2 image (rows bottom first in the DIB) decodes top row first and
// draws blended by its alpha, clipped to a 3 by 3 target in a frame it must
// not touch.
TEST_F(Resources, IconImagesDecodeAndDrawBlendedByAlpha) {
    const uint32_t R = 0xFF0000, B = 0x0000FF, W = 0xFFFFFF, H = 0x80007F;
    const std::vector<uint32_t> top = {0xFF000000 | R, 0x80000000 | R,
                                       0xFF000000 | W, 0};
    Bytes image,
        group = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 1, 0};
    for (uint32_t v : {40u, 2u, 4u, 0x200001u, 0u, 0u, 0u, 0u, 0u, 0u})
        Put32(image, v);
    for (int p : {2, 3, 0, 1, -1, -1})
        Put32(image, p < 0 ? 0 : top[p]); // the colours, then the mask
    Bytes res = Res({{3, 1, image}, {14, 1, group}});
    ASSERT_EQ(UserCreateModule(res.data(), res.size()), game);
    HICON icon = LoadIconA(game, MAKEINTRESOURCEA(1));
    ASSERT_TRUE(UserIconImage(icon, 2, argb, w, h));
    EXPECT_EQ(argb, top);

    std::vector<uint32_t> pixels(5 * 4, B), expected = pixels;
    PixelMap map = {&pixels[4], 3, 3, 4}; // a row above, one below, a column
    HDC dc = GdiCreatePixelDC(map);
    for (int at : {1, -1, 2})
        EXPECT_TRUE(DrawIconEx(dc, at, at, icon, 2, 2, 0, nullptr, DI_NORMAL));
    for (auto [at, color] : {std::pair{9, R}, {10, H}, {13, W}, {14, R}})
        expected[at] = color;
    EXPECT_EQ(pixels, expected);
    EXPECT_FALSE(DrawIconEx(dc, 0, 0, icon, 3, 3, 0, nullptr, DI_NORMAL));
    GdiDeletePixelDC(dc);
}

TEST_F(Resources, AcceleratorsAreAltQuestionMarkAndAltSlashForAbout) {
    DWORD size = 0;
    const uint8_t* e = Find(RT_ACCELERATOR, RES_MAIN, size);
    EXPECT_EQ((void*)LoadAcceleratorsA(game, MAKEINTRESOURCEA(RES_MAIN)), e);
    EXPECT_EQ(LoadAcceleratorsA(game, MAKEINTRESOURCEA(DLG_ABOUT)), nullptr);
    ASSERT_EQ(size, 16u); // flags, key, command and padding: two entries
    for (int i = 0; i < 2; ++i, e += 8) {
        EXPECT_EQ(e[0] | e[1] << 8, FALT | (i == 1 ? 0x80 : 0)); // 0x80: last
        EXPECT_EQ(e[2] | e[3] << 8, "?/"[i]);
        EXPECT_EQ(e[4] | e[5] << 8, CMD_ABOUT);
    }
}

} // namespace
