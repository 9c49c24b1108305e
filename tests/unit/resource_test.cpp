// The resource loader over the compiled resources of the game, and over small
// .res images built here for what the game's own cannot show.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/resources/resource.h"
#include "gdi/dc.h"
#include "user/resource_internal.h"

extern const unsigned char qelResourceData[];
extern const size_t qelResourceSize;

namespace {

// Builds a .res image: the empty leading entry, then each resource with a
// header of ordinals, 32-bit aligned.
struct ResBuilder {
    std::vector<uint8_t> bytes;

    ResBuilder() { Add(0, 0, 0, {}); }

    static void Put16(std::vector<uint8_t>& out, unsigned v) {
        out.push_back(v & 0xFF);
        out.push_back(v >> 8 & 0xFF);
    }
    static void Put32(std::vector<uint8_t>& out, uint32_t v) {
        Put16(out, v & 0xFFFF);
        Put16(out, v >> 16);
    }
    ResBuilder& Add(WORD type, WORD name, WORD language,
                    const std::vector<uint8_t>& data) {
        Put32(bytes, (uint32_t)data.size());
        Put32(bytes, 32);
        Put16(bytes, 0xFFFF);
        Put16(bytes, type);
        Put16(bytes, 0xFFFF);
        Put16(bytes, name);
        Put32(bytes, 0);        // DataVersion
        Put16(bytes, 0x1030);   // MemoryFlags
        Put16(bytes, language); // LanguageId
        Put32(bytes, 0);        // Version
        Put32(bytes, 0);        // Characteristics
        bytes.insert(bytes.end(), data.begin(), data.end());
        while (bytes.size() % 4)
            bytes.push_back(0);
        return *this;
    }
};

// A string table block: the sixteen strings, length-prefixed UTF-16.
std::vector<uint8_t> StringBlock(const std::vector<std::u16string>& strings) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < 16; ++i) {
        std::u16string s = i < strings.size() ? strings[i] : u"";
        ResBuilder::Put16(out, (unsigned)s.size());
        for (char16_t c : s)
            ResBuilder::Put16(out, c);
    }
    return out;
}

// An icon group listing RT_ICON ids, and an icon image (DIB) of 32-bit
// pixels given top row first as 0xAARRGGBB, with a mask where alpha is 0.
std::vector<uint8_t> IconGroup(const std::vector<WORD>& ids) {
    std::vector<uint8_t> out;
    ResBuilder::Put16(out, 0);
    ResBuilder::Put16(out, 1);
    ResBuilder::Put16(out, (unsigned)ids.size());
    for (WORD id : ids) {
        out.insert(out.end(), {0, 0, 0, 0}); // the images say their sizes
        ResBuilder::Put16(out, 1);
        ResBuilder::Put16(out, 32);
        ResBuilder::Put32(out, 0);
        ResBuilder::Put16(out, id);
    }
    return out;
}

std::vector<uint8_t> DibHeader(int width, int height, int bits, int colors) {
    std::vector<uint8_t> out;
    ResBuilder::Put32(out, 40);
    ResBuilder::Put32(out, width);
    ResBuilder::Put32(out, height * 2);
    ResBuilder::Put16(out, 1);
    ResBuilder::Put16(out, bits);
    for (int i = 0; i < 4; ++i)
        ResBuilder::Put32(out, 0);
    ResBuilder::Put32(out, colors);
    ResBuilder::Put32(out, 0);
    return out;
}

std::vector<uint8_t> MaskRows(int width, int height,
                              const std::vector<bool>& transparent) {
    int stride = (width + 31) / 32 * 4;
    std::vector<uint8_t> out(stride * height, 0);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            if (transparent[(height - 1 - row) * width + x])
                out[row * stride + x / 8] |= 0x80 >> (x % 8);
    return out;
}

std::vector<uint8_t> Icon32(int width, int height,
                            const std::vector<uint32_t>& argb,
                            bool withAlpha = true) {
    std::vector<uint8_t> out = DibHeader(width, height, 32, 0);
    std::vector<bool> transparent;
    for (int row = height - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x) {
            uint32_t p = argb[row * width + x];
            ResBuilder::Put32(out, withAlpha ? p : p & 0xFFFFFF);
        }
    for (uint32_t p : argb)
        transparent.push_back((p >> 24) == 0);
    std::vector<uint8_t> mask = MaskRows(width, height, transparent);
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

std::string Load(HINSTANCE instance, UINT id, int size = 100) {
    std::vector<char> buffer(size > 0 ? size : 1, 'x');
    int n = LoadStringA(instance, id, buffer.data(), size);
    std::string s(buffer.data());
    EXPECT_EQ((size_t)n, s.size());
    return s;
}

// The resources in a .res image, walked independently of the loader.
struct Listed {
    WORD type, name, language;
    size_t offset, size;
};

std::vector<Listed> ListResources(const uint8_t* data, size_t size) {
    std::vector<Listed> out;
    auto word = [&](size_t at) { return (WORD)(data[at] | data[at + 1] << 8); };
    auto dword = [&](size_t at) {
        return (DWORD)(word(at) | word(at + 2) << 16);
    };
    for (size_t at = 0; at + 32 <= size;) {
        DWORD dataSize = dword(at), headerSize = dword(at + 4);
        // The game's resources all have ordinal types and names.
        EXPECT_EQ(word(at + 8), 0xFFFF);
        EXPECT_EQ(word(at + 12), 0xFFFF);
        Listed l{word(at + 10), word(at + 14), word(at + 22), at + headerSize,
                 dataSize};
        if (l.type != 0) out.push_back(l);
        at = (at + headerSize + dataSize + 3) & ~(size_t)3;
    }
    return out;
}

// Tests that load images of their own; the game's resources are the
// module again afterwards, as the other tests of the binary expect.
class ModuleTest : public ::testing::Test {
  protected:
    void TearDown() override {
        UserCreateModule(qelResourceData, qelResourceSize);
    }
};

class ResourceTest : public ModuleTest {
  protected:
    HINSTANCE instance = nullptr;

    void SetUp() override {
        instance = UserCreateModule(qelResourceData, qelResourceSize);
        ASSERT_NE(instance, nullptr);
    }
};

using ResourceStrings = ModuleTest;
using ResourceIcons = ModuleTest;
using ResourceFuzz = ModuleTest;

TEST_F(ResourceTest, TheModuleIsTheProcessModule) {
    EXPECT_EQ(GetModuleHandleA(nullptr), (HMODULE)instance);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
    // A null instance is the module too, for strings.
    EXPECT_EQ(Load(nullptr, STR_TITLE), "Qel");
    // A handle that is no module finds nothing.
    int other = 0;
    EXPECT_EQ(Load((HINSTANCE)&other, STR_TITLE), "");
}

TEST_F(ResourceTest, LoadingAgainKeepsTheHandleAndDropsWhatWasLoaded) {
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LARGE));
    HACCEL table = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(RES_MAIN));
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(UserCreateModule(qelResourceData, qelResourceSize), instance);
    EXPECT_EQ(Load(instance, STR_TITLE), "Qel");
    // The old handles are no longer icons or tables (nor read as such).
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    EXPECT_FALSE(UserIconImage(icon, 32, argb, w, h));
    std::vector<UserAccelEntry> entries;
    EXPECT_FALSE(UserAcceleratorEntries(table, entries));
}

TEST_F(ResourceTest, BadResourceImagesMakeNoModule) {
    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(UserCreateModule(junk, sizeof junk), nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(Load(nullptr, STR_TITLE), "");
    // A header that claims more data than there is.
    std::vector<uint8_t> res(qelResourceData, qelResourceData + 64);
    EXPECT_EQ(UserCreateModule(res.data(), res.size()), nullptr);
    EXPECT_EQ(UserCreateModule(nullptr, 100), nullptr);
}

TEST_F(ResourceTest, TitleAndClassStringsReadQel) {
    char buffer[100];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(LoadStringA(instance, STR_TITLE, buffer, 100), 3);
    EXPECT_STREQ(buffer, "Qel");
    EXPECT_EQ(Load(instance, RES_MAIN), "Qel");
}

TEST_F(ResourceTest, MissingStringsLeaveAnEmptyBuffer) {
    EXPECT_EQ(Load(instance, 104), "");  // same block, no string
    EXPECT_EQ(Load(instance, 5000), ""); // no such block
    EXPECT_EQ(Load(instance, 0x10000), "");
    EXPECT_EQ(Load(instance, STR_TITLE, 1), "");
    char untouched = 'x';
    EXPECT_EQ(LoadStringA(instance, STR_TITLE, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(LoadStringA(instance, STR_TITLE, nullptr, 100), 0);
}

TEST_F(ResourceStrings, CutToTheBufferBetweenCharacters) {
    std::u16string longText(150, u'a');
    longText[98] = u'y';
    longText[99] = u'z';
    ResBuilder res;
    // ids 16..31: 16 long, 17 Chinese, 18 mixed
    res.Add(6, 2, 0x0804, StringBlock({longText, u"关于文件", u"a关于"}));
    HINSTANCE instance = UserCreateModule(res.bytes.data(), res.bytes.size());
    ASSERT_NE(instance, nullptr);

    std::string s = Load(instance, 16, 100);
    EXPECT_EQ(s.size(), 99u);
    EXPECT_EQ(s.back(), 'y');
    EXPECT_EQ(Load(instance, 16, 200).size(), 150u);

    const std::string gbk = "\xb9\xd8\xd3\xda\xce\xc4\xbc\xfe"; // 关于文件
    EXPECT_EQ(Load(instance, 17, 100), gbk);
    EXPECT_EQ(Load(instance, 17, 9), gbk);
    EXPECT_EQ(Load(instance, 17, 8), gbk.substr(0, 6));
    EXPECT_EQ(Load(instance, 17, 4), gbk.substr(0, 2));
    EXPECT_EQ(Load(instance, 17, 2), "");
    EXPECT_EQ(Load(instance, 18, 3), "a");
    EXPECT_EQ(Load(instance, 18, 4), "a\xb9\xd8");
}

TEST_F(ResourceStrings, PreferChineseOverOtherLanguages) {
    ResBuilder res;
    res.Add(6, 1, 0x0409, StringBlock({u"", u"English"}));
    res.Add(6, 1, 0x0804, StringBlock({u"", u"中文"}));
    HINSTANCE instance = UserCreateModule(res.bytes.data(), res.bytes.size());
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(Load(instance, 1), "\xd6\xd0\xce\xc4");

    ResBuilder english;
    english.Add(6, 1, 0x0409, StringBlock({u"", u"English"}));
    instance = UserCreateModule(english.bytes.data(), english.bytes.size());
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(Load(instance, 1), "English");
}

TEST_F(ResourceTest, MenuHasFileExitAndHelpAbout) {
    DWORD size = 0;
    const void* data =
        UserFindResource(instance, RT_MENU, MAKEINTRESOURCEA(RES_MAIN), &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(UserFindResource(instance, RT_MENU, "#109", nullptr), data);
    UserMenu menu;
    ASSERT_TRUE(UserParseMenu(data, size, menu));
    ASSERT_EQ(menu.popups.size(), 2u);
    EXPECT_EQ(menu.popups[0].text, u"文件(&F)");
    EXPECT_EQ(menu.popups[0].flags, MF_POPUP);
    ASSERT_EQ(menu.popups[0].items.size(), 1u);
    EXPECT_EQ(menu.popups[0].items[0].text, u"退出(&X)");
    EXPECT_EQ(menu.popups[0].items[0].id, CMD_EXIT);
    EXPECT_EQ(menu.popups[0].items[0].flags, 0);
    EXPECT_EQ(menu.popups[1].text, u"帮助(&H)");
    ASSERT_EQ(menu.popups[1].items.size(), 1u);
    EXPECT_EQ(menu.popups[1].items[0].text, u"关于(&A)...");
    EXPECT_EQ(menu.popups[1].items[0].id, CMD_ABOUT);
}

void PutString(std::vector<uint8_t>& out, const std::u16string& s) {
    for (char16_t c : s)
        ResBuilder::Put16(out, c);
    ResBuilder::Put16(out, 0);
}

TEST(ResourceMenus, CommandsOnTheBarAndFlagsAreKept) {
    std::vector<uint8_t> menu = {0, 0, 0, 0};
    ResBuilder::Put16(menu, 0); // a command on the bar
    ResBuilder::Put16(menu, 7);
    PutString(menu, u"Go");
    ResBuilder::Put16(menu, MF_POPUP | MF_END);
    PutString(menu, u"P");
    ResBuilder::Put16(menu, MF_GRAYED | MF_END);
    ResBuilder::Put16(menu, 9);
    PutString(menu, u"x");
    UserMenu out;
    ASSERT_TRUE(UserParseMenu(menu.data(), (DWORD)menu.size(), out));
    ASSERT_EQ(out.popups.size(), 2u);
    EXPECT_EQ(out.popups[0].text, u"Go");
    EXPECT_EQ(out.popups[0].id, 7);
    EXPECT_EQ(out.popups[0].flags, 0);
    EXPECT_TRUE(out.popups[0].items.empty());
    EXPECT_EQ(out.popups[1].flags, MF_POPUP);
    ASSERT_EQ(out.popups[1].items.size(), 1u);
    EXPECT_EQ(out.popups[1].items[0].flags, MF_GRAYED);
    EXPECT_EQ(out.popups[1].items[0].id, 9);
}

TEST(ResourceMenus, SubmenusAndExtendedMenusAreRefused) {
    std::vector<uint8_t> nested = {0, 0, 0, 0};
    ResBuilder::Put16(nested, MF_POPUP | MF_END);
    PutString(nested, u"P");
    ResBuilder::Put16(nested, MF_POPUP | MF_END);
    PutString(nested, u"Q");
    ResBuilder::Put16(nested, MF_END);
    ResBuilder::Put16(nested, 1);
    PutString(nested, u"x");
    UserMenu out;
    EXPECT_FALSE(UserParseMenu(nested.data(), (DWORD)nested.size(), out));
    EXPECT_TRUE(out.popups.empty());
    std::vector<uint8_t> extended = {1, 0, 4, 0, 0, 0, 0, 0};
    EXPECT_FALSE(UserParseMenu(extended.data(), (DWORD)extended.size(), out));
}

TEST(ResourceDialogs, NamedClassesStringsAndCreationData) {
    std::vector<uint8_t> d;
    ResBuilder::Put32(d, WS_POPUP); // no DS_SETFONT: no font fields
    ResBuilder::Put32(d, 0x8);
    ResBuilder::Put16(d, 2);
    for (int v : {1, 2, 3, 4})
        ResBuilder::Put16(d, v);
    ResBuilder::Put16(d, 0xFFFF); // menu 5
    ResBuilder::Put16(d, 5);
    PutString(d, u"MyClass");
    PutString(d, u"T");
    for (int i = 0; i < 2; ++i) {
        while (d.size() % 4)
            d.push_back(0xAA); // items start 32-bit aligned
        ResBuilder::Put32(d, WS_CHILD);
        ResBuilder::Put32(d, 0);
        for (int v : {-5, 6, 7, 8})
            ResBuilder::Put16(d, (WORD)v);
        ResBuilder::Put16(d, 0xFFFE); // -2
        PutString(d, u"EDIT");
        PutString(d, u"abc");
        ResBuilder::Put16(d, 3); // creation data, skipped
        d.insert(d.end(), {1, 2, 3});
    }
    UserDialogTemplate t;
    ASSERT_TRUE(UserParseDialog(d.data(), (DWORD)d.size(), t));
    EXPECT_EQ(t.exStyle, 0x8u);
    EXPECT_EQ(t.menuOrdinal, 5);
    EXPECT_EQ(t.className, u"MyClass");
    EXPECT_EQ(t.caption, u"T");
    EXPECT_EQ(t.pointSize, 0);
    ASSERT_EQ(t.items.size(), 2u);
    for (const UserDialogItem& item : t.items) {
        EXPECT_EQ(item.x, -5);
        EXPECT_EQ(item.id, -2);
        EXPECT_EQ(item.classOrdinal, 0);
        EXPECT_EQ(item.className, u"EDIT");
        EXPECT_EQ(item.text, u"abc");
    }
    // Creation data running past the end is a truncated template.
    d.pop_back();
    EXPECT_FALSE(UserParseDialog(d.data(), (DWORD)d.size(), t));
    EXPECT_TRUE(t.items.empty());
    // DLGTEMPLATEEX is not read.
    const uint8_t extended[] = {1, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0,
                                0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(UserParseDialog(extended, sizeof extended, t));
}

TEST_F(ResourceTest, AboutDialogTemplate) {
    DWORD size = 0;
    const void* data = UserFindResource(instance, RT_DIALOG,
                                        MAKEINTRESOURCEA(DLG_ABOUT), &size);
    ASSERT_NE(data, nullptr);
    UserDialogTemplate t;
    ASSERT_TRUE(UserParseDialog(data, size, t));
    EXPECT_EQ(t.style, 0x00C800C0u);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.x, 22);
    EXPECT_EQ(t.y, 17);
    EXPECT_EQ(t.cx, 230);
    EXPECT_EQ(t.cy, 75);
    EXPECT_EQ(t.menuOrdinal, 0);
    EXPECT_EQ(t.menuName, u"");
    EXPECT_EQ(t.classOrdinal, 0);
    EXPECT_EQ(t.className, u"");
    EXPECT_EQ(t.caption, u"关于");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.faceName, u"System");

    const DWORD child = WS_CHILD | WS_VISIBLE;
    struct Expected {
        int id;
        WORD cls;
        DWORD style;
        short x, y, cx, cy;
    } expected[] = {
        {CTL_ABOUT_ICON, 0x82, child | SS_ICON, 14, 9, 16, 16},
        {-1, 0x82, child | WS_GROUP | SS_LEFT | SS_NOPREFIX, 49, 10, 119, 8},
        {-1, 0x82, child | WS_GROUP | SS_LEFT, 49, 20, 119, 8},
        {IDOK, 0x80, child | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 195, 6,
         30, 11},
    };
    ASSERT_EQ(t.items.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const UserDialogItem& item = t.items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.classOrdinal, expected[i].cls);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
    }
    EXPECT_EQ(t.items[0].textOrdinal, ICON_LARGE);
    EXPECT_EQ(t.items[1].text, u"Qel Version 1.0");
    EXPECT_EQ(t.items[1].textOrdinal, 0);
    EXPECT_FALSE(t.items[2].text.empty());
    EXPECT_EQ(t.items[3].text, u"确定");
}

TEST_F(ResourceTest, AcceleratorsAreAltQuestionMarkAndAltSlash) {
    HACCEL table = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(RES_MAIN));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(RES_MAIN)), table);
    EXPECT_EQ(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(1)), nullptr);
    std::vector<UserAccelEntry> entries;
    ASSERT_TRUE(UserAcceleratorEntries(table, entries));
    ASSERT_EQ(entries.size(), 2u);
    for (const UserAccelEntry& e : entries) {
        EXPECT_TRUE(e.flags & FALT);
        EXPECT_FALSE(e.flags & FVIRTKEY);
        EXPECT_EQ(e.command, CMD_ABOUT);
    }
    EXPECT_EQ(entries[0].key, 0x3F);
    EXPECT_EQ(entries[1].key, 0x2F);
    EXPECT_FALSE(entries[0].flags & 0x80);
    EXPECT_TRUE(entries[1].flags & 0x80);
    EXPECT_FALSE(UserAcceleratorEntries(nullptr, entries));
}

TEST_F(ResourceTest, EveryResourceIsChinesePrc) {
    std::vector<Listed> all = ListResources(qelResourceData, qelResourceSize);
    // 16 images, 2 groups, menu, dialog, one string block, accelerators.
    EXPECT_EQ(all.size(), 22u);
    for (const Listed& r : all) {
        SCOPED_TRACE(testing::Message() << r.type << "/" << r.name);
        EXPECT_EQ(r.language, 0x0804);
        const void* data = UserFindResource(instance, MAKEINTRESOURCEA(r.type),
                                            MAKEINTRESOURCEA(r.name), nullptr);
        EXPECT_NE(data, nullptr);
    }
}

TEST_F(ResourceTest, IconGroupsListTheEightImages) {
    const int expected[8][2] = {{32, 4}, {16, 4},  {48, 8},  {32, 8},
                                {16, 8}, {48, 32}, {32, 32}, {16, 32}};
    for (WORD group : {ICON_LARGE, ICON_SMALL}) {
        SCOPED_TRACE(group);
        DWORD size = 0;
        auto data = (const uint8_t*)UserFindResource(
            instance, RT_GROUP_ICON, MAKEINTRESOURCEA(group), &size);
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(size, 6u + 14 * 8);
        EXPECT_EQ(data[2] | data[3] << 8, 1); // icons
        EXPECT_EQ(data[4] | data[5] << 8, 8);
        for (int i = 0; i < 8; ++i) {
            const uint8_t* e = data + 6 + 14 * i;
            EXPECT_EQ(e[0], expected[i][0]);
            EXPECT_EQ(e[1], expected[i][0]);
            EXPECT_EQ(e[6] | e[7] << 8, expected[i][1]);
            // The image the entry names has that size and depth.
            DWORD imageSize = 0;
            auto image = (const uint8_t*)UserFindResource(
                instance, RT_ICON, MAKEINTRESOURCEA(e[12] | e[13] << 8),
                &imageSize);
            ASSERT_NE(image, nullptr);
            ASSERT_GE(imageSize, 40u);
            EXPECT_EQ(image[4], expected[i][0]);
            EXPECT_EQ(image[8], expected[i][0] * 2);
            EXPECT_EQ(image[14], expected[i][1]);
        }
    }
}

// Each low-depth image of the game's icon, loaded on its own, shows the same
// shape as the 32-bit image of its size.
TEST_F(ResourceTest, LowDepthIconImagesMatchTheTrueColourOnes) {
    DWORD size = 0;
    auto group = (const uint8_t*)UserFindResource(
        instance, RT_GROUP_ICON, MAKEINTRESOURCEA(ICON_LARGE), &size);
    ASSERT_NE(group, nullptr);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LARGE));
    ASSERT_NE(icon, nullptr);
    std::vector<std::vector<uint8_t>> images;
    for (int i = 0; i < 5; ++i) { // the 4- and 8-bit ones
        const uint8_t* e = group + 6 + 14 * i;
        DWORD imageSize = 0;
        auto image = (const uint8_t*)UserFindResource(
            instance, RT_ICON, MAKEINTRESOURCEA(e[12] | e[13] << 8),
            &imageSize);
        ASSERT_NE(image, nullptr);
        images.emplace_back(image, image + imageSize);
    }
    for (const auto& image : images) {
        int side = image[4];
        SCOPED_TRACE(testing::Message() << side << "x" << side << " at "
                                        << (int)image[14] << " bits");
        std::vector<uint32_t> full, low;
        int w = 0, h = 0;
        ASSERT_TRUE(UserIconImage(icon, side, full, w, h));
        ASSERT_EQ(w, side);

        ResBuilder res;
        res.Add(3, 1, 0x0804, image).Add(14, 1, 0x0804, IconGroup({1}));
        HINSTANCE one = UserCreateModule(res.bytes.data(), res.bytes.size());
        ASSERT_NE(one, nullptr);
        HICON lowIcon = LoadIconA(one, MAKEINTRESOURCEA(1));
        ASSERT_NE(lowIcon, nullptr);
        ASSERT_TRUE(UserIconImage(lowIcon, side, low, w, h));
        ASSERT_EQ(w, side);
        ASSERT_EQ(h, side);
        // The 8-bit images keep the colours; the 4-bit ones keep at least
        // the white letter white.
        bool fourBits = image[14] == 4;
        int agree = 0, close = 0, opaque = 0;
        for (int p = 0; p < side * side; ++p) {
            bool shownFull = full[p] >> 24 >= 128, shownLow = low[p] >> 24;
            EXPECT_TRUE(low[p] >> 24 == 0 || low[p] >> 24 == 255);
            agree += shownFull == shownLow;
            if (!shownFull || !shownLow) continue;
            ++opaque;
            int distance = 0, fullSum = 0, lowSum = 0;
            for (int shift : {0, 8, 16}) {
                int a = full[p] >> shift & 0xFF, b = low[p] >> shift & 0xFF;
                distance += std::abs(a - b);
                fullSum += a;
                lowSum += b;
            }
            if (fourBits)
                close += (fullSum > 600) == (lowSum > 600);
            else
                close += distance < 128; // the 32-bit face has a gradient
        }
        EXPECT_GE(agree, side * side * 95 / 100);
        EXPECT_GE(opaque, side * side / 2);
        EXPECT_GE(close, opaque * 90 / 100);
        instance = UserCreateModule(qelResourceData, qelResourceSize);
        icon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LARGE));
        ASSERT_NE(icon, nullptr);
    }
}

TEST_F(ResourceTest, IconsPickTheirBestImage) {
    HICON large = LoadIconA(instance, MAKEINTRESOURCEA(ICON_LARGE));
    HICON small = LoadIconA(instance, MAKEINTRESOURCEA(ICON_SMALL));
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(large, small);
    EXPECT_EQ(LoadIconA(instance, MAKEINTRESOURCEA(ICON_LARGE)), large);
    EXPECT_EQ(LoadIconA(instance, MAKEINTRESOURCEA(RES_MAIN)), nullptr);

    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    const int wanted[][2] = {{16, 16}, {32, 32}, {48, 48}, {20, 32}, {64, 48}};
    for (const auto& pair : wanted) {
        ASSERT_TRUE(UserIconImage(large, pair[0], argb, w, h));
        EXPECT_EQ(w, pair[1]);
        EXPECT_EQ(h, pair[1]);
        ASSERT_EQ(argb.size(), (size_t)w * h);
        // The 32-bit image: the key cap is opaque in the middle, its rounded
        // corner shows through.
        EXPECT_EQ(argb[(h / 2) * w + w / 2] >> 24, 255u);
        EXPECT_LT(argb[0] >> 24, 128u);
    }
    EXPECT_FALSE(UserIconImage(nullptr, 32, argb, w, h));
    int notAnIcon = 0;
    EXPECT_FALSE(UserIconImage((HICON)&notAnIcon, 32, argb, w, h));
}

TEST_F(ResourceTest, SystemIconAndCursor) {
    HICON app = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(app, nullptr);
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    EXPECT_TRUE(UserIconImage(app, 32, argb, w, h));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(ICON_LARGE)), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(instance, IDC_ARROW), nullptr);
}

// Icon images of each depth decoded from hand-made DIBs: palette, mask and
// bottom-up rows.
TEST_F(ResourceIcons, DecodeFourEightAndThirtyTwoBits) {
    // 4 bits, 2 by 2: top row red, transparent; bottom row green, blue.
    std::vector<uint8_t> four = DibHeader(2, 2, 4, 0);
    for (int i = 0; i < 16; ++i) {
        uint32_t color = i == 1   ? 0xFF0000
                         : i == 2 ? 0x00FF00
                         : i == 3 ? 0x0000FF
                                  : 0x123456;
        ResBuilder::Put32(four, color);
    }
    four.insert(four.end(), {0x23, 0, 0, 0, 0x10, 0, 0, 0}); // bottom row first
    std::vector<uint8_t> mask = MaskRows(2, 2, {false, true, false, false});
    four.insert(four.end(), mask.begin(), mask.end());

    // 8 bits, 3 by 1, three colours of 256 (colours used: 3).
    std::vector<uint8_t> eight = DibHeader(3, 1, 8, 3);
    for (uint32_t c : {0x111111u, 0x222222u, 0x333333u})
        ResBuilder::Put32(eight, c);
    eight.insert(eight.end(), {2, 1, 0, 0});
    mask = MaskRows(3, 1, {false, false, false});
    eight.insert(eight.end(), mask.begin(), mask.end());

    // 32 bits with and without alpha.
    std::vector<uint8_t> alpha =
        Icon32(2, 1, {0x80FF0000, 0x00000000}); // half red, clear
    std::vector<uint8_t> noAlpha = Icon32(2, 1, {0xFF00FF00, 0}, false);

    ResBuilder res;
    res.Add(3, 1, 0x0804, four)
        .Add(3, 2, 0x0804, eight)
        .Add(3, 3, 0x0804, alpha)
        .Add(3, 4, 0x0804, noAlpha);
    for (WORD id = 1; id <= 4; ++id)
        res.Add(14, id, 0x0804, IconGroup({id}));
    HINSTANCE instance = UserCreateModule(res.bytes.data(), res.bytes.size());
    ASSERT_NE(instance, nullptr);

    auto image = [&](WORD id) {
        std::vector<uint32_t> argb;
        int w = 0, h = 0;
        HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(id));
        EXPECT_TRUE(UserIconImage(icon, 2, argb, w, h));
        return argb;
    };
    EXPECT_EQ(image(1),
              (std::vector<uint32_t>{0xFFFF0000, 0, 0xFF00FF00, 0xFF0000FF}));
    EXPECT_EQ(image(2),
              (std::vector<uint32_t>{0xFF333333, 0xFF222222, 0xFF111111}));
    EXPECT_EQ(image(3), (std::vector<uint32_t>{0x80FF0000, 0}));
    EXPECT_EQ(image(4), (std::vector<uint32_t>{0xFF00FF00, 0x00000000}));
}

TEST_F(ResourceIcons, BadImagesAreLeftOut) {
    std::vector<uint8_t> good = Icon32(1, 1, {0xFFFFFFFF});
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    std::vector<uint8_t> rle = good;
    rle[16] = 1; // BI_RLE8
    std::vector<uint8_t> tooManyColours = DibHeader(1, 1, 4, 17);
    ResBuilder res;
    res.Add(3, 1, 0x0804, good)
        .Add(3, 2, 0x0804, cut)
        .Add(3, 3, 0x0804, rle)
        .Add(3, 4, 0x0804, tooManyColours)
        .Add(14, 1, 0x0804, IconGroup({2, 1, 3, 9}))
        .Add(14, 2, 0x0804, IconGroup({2, 3, 4}))
        .Add(14, 3, 0x0804, {0, 0, 2, 0, 1, 0}); // a cursor group
    HINSTANCE instance = UserCreateModule(res.bytes.data(), res.bytes.size());
    ASSERT_NE(instance, nullptr);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    ASSERT_NE(icon, nullptr);
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    EXPECT_TRUE(UserIconImage(icon, 1, argb, w, h));
    EXPECT_EQ(argb, std::vector<uint32_t>{0xFFFFFFFF});
    EXPECT_EQ(LoadIconA(instance, MAKEINTRESOURCEA(2)), nullptr);
    EXPECT_EQ(LoadIconA(instance, MAKEINTRESOURCEA(3)), nullptr);
}

// DrawIconEx over a device context on plain pixels.
class DrawIconTest : public ModuleTest {
  protected:
    static constexpr uint32_t kBackground = 0x0000FF; // blue
    std::vector<uint32_t> pixels;
    PixelMap map;
    HDC dc = nullptr;
    HICON icon = nullptr;

    void SetUp() override {
        // 2 by 2: opaque red, half-transparent red, clear, opaque white.
        ResBuilder res;
        res.Add(3, 1, 0x0804,
                Icon32(2, 2, {0xFFFF0000, 0x80FF0000, 0x00000000, 0xFFFFFFFF}))
            .Add(14, 1, 0x0804, IconGroup({1}));
        ASSERT_NE(UserCreateModule(res.bytes.data(), res.bytes.size()),
                  nullptr);
        icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        ASSERT_NE(icon, nullptr);
        pixels.assign(8 * 8, kBackground);
        map.pixels = pixels.data();
        map.width = 8;
        map.height = 8;
        map.pitch = 8;
        dc = GdiCreatePixelDC(map);
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override {
        GdiDeletePixelDC(dc);
        ModuleTest::TearDown();
    }
    uint32_t At(int x, int y) const { return pixels[y * 8 + x]; }
};

TEST_F(DrawIconTest, BlendsByAlphaAtItsPlace) {
    EXPECT_TRUE(DrawIconEx(dc, 3, 4, icon, 2, 2, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(At(3, 4), 0xFF0000u);
    // Half red over blue: 255 x 128/255 red, 255 x 127/255 blue.
    EXPECT_EQ(At(4, 4), 0x80007Fu);
    EXPECT_EQ(At(3, 5), kBackground);
    EXPECT_EQ(At(4, 5), 0xFFFFFFu);
    // Nothing outside the icon's square changes.
    int changed = 0;
    for (uint32_t p : pixels)
        changed += p != kBackground;
    EXPECT_EQ(changed, 3);
}

TEST_F(DrawIconTest, ScalesToTheSizeAsked) {
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(At(0, 0), 0xFF0000u);
    EXPECT_EQ(At(1, 1), 0xFF0000u);
    EXPECT_EQ(At(0, 3), kBackground);
    EXPECT_EQ(At(3, 3), 0xFFFFFFu);
    EXPECT_EQ(At(4, 4), kBackground);
    // Shrunk to one pixel: the average of the four, premultiplied.
    std::fill(pixels.begin(), pixels.end(), 0);
    EXPECT_TRUE(DrawIconEx(dc, 7, 7, icon, 1, 1, 0, nullptr, DI_NORMAL));
    uint32_t p = At(7, 7);
    EXPECT_NEAR((int)(p >> 16), (255 + 128 + 0 + 255) / 4, 1);
    EXPECT_NEAR((int)(p & 0xFF), 255 / 4, 1);
}

TEST_F(DrawIconTest, ClipsAtTheEdges) {
    EXPECT_TRUE(DrawIconEx(dc, -1, -1, icon, 2, 2, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(At(0, 0), 0xFFFFFFu);
    EXPECT_TRUE(DrawIconEx(dc, 7, 7, icon, 2, 2, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(At(7, 7), 0xFF0000u);
    EXPECT_TRUE(DrawIconEx(dc, 100, -100, icon, 32, 32, 0, nullptr, 3));
    EXPECT_FALSE(DrawIconEx(nullptr, 0, 0, icon, 2, 2, 0, nullptr, 3));
    EXPECT_FALSE(DrawIconEx(dc, 0, 0, nullptr, 2, 2, 0, nullptr, 3));
}

// Truncated templates are refused at every length, and damaged .res images
// never lead a read astray (the sanitizer build checks every byte read).
TEST_F(ResourceTest, TruncatedTemplatesAreRefused) {
    struct {
        LPCSTR type;
        WORD name;
    } templates[] = {{RT_MENU, RES_MAIN}, {RT_DIALOG, DLG_ABOUT}};
    for (const auto& t : templates) {
        DWORD size = 0;
        auto data = (const uint8_t*)UserFindResource(
            instance, t.type, MAKEINTRESOURCEA(t.name), &size);
        ASSERT_NE(data, nullptr);
        for (DWORD length = 0; length < size; ++length) {
            SCOPED_TRACE(length);
            // An exact copy, so that a read past its end is caught.
            std::vector<uint8_t> cut(data, data + length);
            const void* bytes = length ? cut.data() : nullptr;
            UserMenu menu;
            UserDialogTemplate dialog;
            bool parsed = t.type == RT_MENU
                              ? UserParseMenu(bytes, length, menu)
                              : UserParseDialog(bytes, length, dialog);
            EXPECT_FALSE(parsed);
        }
    }
}

void Exercise(HINSTANCE instance, std::mt19937& random) {
    char buffer[100];
    LoadStringA(instance, STR_TITLE, buffer, sizeof buffer);
    LoadStringA(instance, RES_MAIN, buffer, 1 + random() % 8);
    for (WORD id : {ICON_LARGE, ICON_SMALL}) {
        HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(id));
        std::vector<uint32_t> argb;
        int w = 0, h = 0;
        for (int size : {16, 32, 48}) {
            if (UserIconImage(icon, size, argb, w, h)) {
                EXPECT_EQ(argb.size(), (size_t)w * h);
            }
        }
    }
    std::vector<UserAccelEntry> entries;
    UserAcceleratorEntries(
        LoadAcceleratorsA(instance, MAKEINTRESOURCEA(RES_MAIN)), entries);
    DWORD size = 0;
    const void* data =
        UserFindResource(instance, RT_MENU, MAKEINTRESOURCEA(RES_MAIN), &size);
    UserMenu menu;
    if (data) UserParseMenu(data, size, menu);
    data = UserFindResource(instance, RT_DIALOG, MAKEINTRESOURCEA(DLG_ABOUT),
                            &size);
    UserDialogTemplate dialog;
    if (data) UserParseDialog(data, size, dialog);
}

TEST_F(ResourceFuzz, DamagedResourceImagesNeverCrash) {
    std::mt19937 random(1234);
    std::vector<uint8_t> original(qelResourceData,
                                  qelResourceData + qelResourceSize);
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> damaged = original;
        if (round % 4 == 0) {
            damaged.resize(random() % damaged.size());
        } else {
            // Flip bytes, mostly inside the templates and the string block
            // at the end, where the parsers read.
            size_t from = round % 2 ? damaged.size() - 800 : 0;
            for (int flips = 1 + random() % 4; flips > 0; --flips)
                damaged[from + random() % (damaged.size() - from)] ^=
                    (uint8_t)(1 + random() % 255);
        }
        HINSTANCE instance = UserCreateModule(damaged.data(), damaged.size());
        if (!instance) continue;
        ++loaded;
        Exercise(instance, random);
    }
    // Most flips land in data, which still loads and gets parsed.
    EXPECT_GT(loaded, 100);
}

} // namespace
