// Writes the seed corpus of the resource fuzz target into a directory: a
// small .res image with each kind of resource the game has, its menu and
// dialog templates alone, and (given its path) the game's own compiled .res.
// Each seed starts with the target's mode byte: 0 .res, 1 menu, 2 dialog.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void Put16(Bytes& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8 & 0xFF);
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutText(Bytes& out, const std::u16string& text) {
    for (char16_t c : text)
        Put16(out, c);
    Put16(out, 0);
}
void Align(Bytes& out) {
    while (out.size() % 4)
        out.push_back(0);
}

// One resource entry with ordinal type and name, as windres writes them.
void AddResource(Bytes& res, unsigned type, unsigned name, const Bytes& data) {
    Put32(res, (uint32_t)data.size());
    Put32(res, 32);
    Put16(res, 0xFFFF);
    Put16(res, type);
    Put16(res, 0xFFFF);
    Put16(res, name);
    Put32(res, 0);
    Put16(res, 0x1030);
    Put16(res, 0x0804);
    Put32(res, 0);
    Put32(res, 0);
    res.insert(res.end(), data.begin(), data.end());
    Align(res);
}

Bytes Menu() {
    Bytes menu;
    Put32(menu, 0); // version and header size
    Put16(menu, 0x10);
    PutText(menu, u"\u6587\u4ef6(&F)");
    Put16(menu, 0x80);
    Put16(menu, 105);
    PutText(menu, u"\u9000\u51fa(&X)");
    Put16(menu, 0x10 | 0x80);
    PutText(menu, u"\u5e2e\u52a9(&H)");
    Put16(menu, 0x80);
    Put16(menu, 104);
    PutText(menu, u"\u5173\u4e8e(&A)...");
    return menu;
}

Bytes Dialog() {
    Bytes dialog;
    Put32(dialog, 0x00C800C0); // DS_SETFONT | DS_MODALFRAME | caption | menu
    Put32(dialog, 0);
    Put16(dialog, 2);
    for (int v : {22, 17, 230, 75})
        Put16(dialog, (unsigned)v);
    Put16(dialog, 0); // no menu
    Put16(dialog, 0); // the dialog class
    PutText(dialog, u"\u5173\u4e8e");
    Put16(dialog, 9);
    PutText(dialog, u"System");
    struct Item {
        uint32_t style;
        int x, y, cx, cy, id;
        unsigned classOrdinal;
        std::u16string text;
        unsigned textOrdinal;
    } items[] = {
        {0x50020003, 14, 9, 16, 16, 2, 0x82, u"", 107},
        {0x50030001, 195, 6, 30, 11, 1, 0x80, u"\u786e\u5b9a", 0},
    };
    for (const Item& item : items) {
        Align(dialog);
        Put32(dialog, item.style);
        Put32(dialog, 0);
        for (int v : {item.x, item.y, item.cx, item.cy, item.id})
            Put16(dialog, (unsigned)v);
        Put16(dialog, 0xFFFF);
        Put16(dialog, item.classOrdinal);
        if (item.textOrdinal) {
            Put16(dialog, 0xFFFF);
            Put16(dialog, item.textOrdinal);
        } else {
            PutText(dialog, item.text);
        }
        Put16(dialog, 0); // no creation data
    }
    return dialog;
}

Bytes Strings() { // block 7: strings 96 to 111
    Bytes block;
    for (unsigned id = 96; id < 112; ++id) {
        std::u16string text = id == 103 || id == 109 ? u"Qel" : u"";
        Put16(block, (unsigned)text.size());
        for (char16_t c : text)
            Put16(block, c);
    }
    return block;
}

Bytes Accelerators() {
    Bytes table;
    for (unsigned key : {0x3Fu, 0x2Fu}) {
        Put16(table, 0x10 | (key == 0x2F ? 0x80 : 0)); // FALT, last entry
        Put16(table, key);
        Put16(table, 104);
        Put16(table, 0);
    }
    return table;
}

// A 16 by 16 icon of 32-bit pixels (bottom row first) with its mask.
Bytes IconImage() {
    Bytes image;
    Put32(image, 40);
    Put32(image, 16);
    Put32(image, 32);
    Put16(image, 1);
    Put16(image, 32);
    for (int i = 0; i < 6; ++i)
        Put32(image, 0);
    for (int i = 0; i < 16 * 16; ++i)
        Put32(image, i % 3 ? 0xFF2060C0 : 0x00000000);
    for (int i = 0; i < 16 * 4; ++i)
        image.push_back(0);
    return image;
}

Bytes IconGroup() {
    Bytes group;
    Put16(group, 0);
    Put16(group, 1);
    Put16(group, 1);
    group.insert(group.end(), {16, 16, 0, 0});
    Put16(group, 1);
    Put16(group, 32);
    Put32(group, (uint32_t)IconImage().size());
    Put16(group, 1);
    return group;
}

bool Write(const std::string& path, uint8_t mode, const Bytes& body) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fputc(mode, file) != EOF &&
              fwrite(body.data(), 1, body.size(), file) == body.size();
    return fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: %s DIRECTORY [GAME_RES]\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    Bytes res;
    AddResource(res, 0, 0, {}); // the empty leading entry
    AddResource(res, 6, 7, Strings());
    AddResource(res, 4, 109, Menu());
    AddResource(res, 5, 103, Dialog());
    AddResource(res, 9, 109, Accelerators());
    AddResource(res, 3, 1, IconImage());
    AddResource(res, 14, 107, IconGroup());
    AddResource(res, 14, 108, IconGroup());
    bool ok = Write(folder + "/small.res", 0, res) &&
              Write(folder + "/menu", 1, Menu()) &&
              Write(folder + "/dialog", 2, Dialog());
    if (ok && argc == 3) {
        FILE* file = fopen(argv[2], "rb");
        if (!file) {
            fprintf(stderr, "cannot read %s\n", argv[2]);
            return 1;
        }
        Bytes game;
        int c;
        while ((c = fgetc(file)) != EOF)
            game.push_back((uint8_t)c);
        fclose(file);
        ok = Write(folder + "/game.res", 0, game);
    }
    return ok ? 0 : 1;
}
