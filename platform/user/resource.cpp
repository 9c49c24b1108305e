// user32 and kernel32: the module's resources. The module is the .res that
// windres compiles from the resource script: a run of entries, each a
// header (data size, header size, type, name, language ...) and its data,
// 32-bit aligned. Every read is checked against the bytes there are.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "../gdi/dc.h"
#include "resource_internal.h"

// An icon: its decoded images.
struct HICON__ {
    struct Image {
        int width = 0, height = 0, bits = 0;
        std::vector<uint32_t> argb; // straight 0xAARRGGBB, top row first
    };
    std::vector<Image> images;
};

struct HACCEL__ {
    std::vector<UserAccelEntry> entries;
};

namespace {

const WORD kLangChinesePrc = 0x0804;

// A bounds-checked little-endian reader over resource bytes.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    Reader(const void* d, size_t s) : data((const uint8_t*)d), size(s) {}

    bool Has(size_t n) const { return ok && n <= size - pos; }
    WORD Word() {
        if (!Has(2)) return Fail(), 0;
        WORD v = (WORD)(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (DWORD)Word() << 16;
    }
    void Skip(size_t n) {
        if (Has(n))
            pos += n;
        else
            Fail();
    }
    // To the next multiple of four from the start of the data.
    void Align() { Skip((4 - pos % 4) % 4); }
    void Fail() { ok = false; }

    // A zero-terminated UTF-16 string.
    std::u16string String() {
        std::u16string s;
        for (WORD c = Word(); ok && c != 0; c = Word())
            s += (char16_t)c;
        return s;
    }
    // A template's name or ordinal: 0xFFFF and an ordinal, a lone 0 for
    // none, else a string.
    void NameOrOrdinal(WORD& ordinal, std::u16string& name) {
        ordinal = 0;
        name.clear();
        if (!Has(2)) return Fail();
        WORD first = (WORD)(data[pos] | data[pos + 1] << 8);
        if (first == 0xFFFF) {
            Skip(2);
            ordinal = Word();
        } else {
            name = String();
        }
    }
};

struct Entry {
    WORD typeOrdinal;
    std::u16string typeName;
    WORD nameOrdinal;
    std::u16string name;
    WORD language;
    size_t offset, size;
};

struct Module {
    std::vector<uint8_t> data;
    std::vector<Entry> entries;
    std::map<const void*, std::unique_ptr<HICON__>> icons; // by group data
    std::map<const void*, std::unique_ptr<HACCEL__>> accelerators;
};

std::unique_ptr<Module> loaded; // the process's one module

// The module's handle stays the same whatever resources it is given, as the
// image base of a process's executable does.
char moduleHandle;
HINSTANCE ModuleHandle() {
    return (HINSTANCE)&moduleHandle;
}

Module* ModuleOf(HINSTANCE instance) {
    if (!loaded) return nullptr;
    if (instance && instance != ModuleHandle()) return nullptr;
    return loaded.get();
}

// A resource name as the caller gives it matches an entry's: ordinals by
// number, names without regard to ASCII case, as FindResource does.
bool Matches(LPCSTR wanted, WORD ordinal, const std::u16string& name) {
    if (IS_INTRESOURCE(wanted))
        return ordinal != 0 && ordinal == LOWORD(wanted);
    if (wanted[0] == '#') {
        char* end = nullptr;
        unsigned long n = std::strtoul(wanted + 1, &end, 10);
        return *end == '\0' && n != 0 && n <= 0xFFFF && ordinal == n;
    }
    if (ordinal != 0 || name.size() != std::strlen(wanted)) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t a = name[i], b = (unsigned char)wanted[i];
        if (a >= 'a' && a <= 'z') a -= 32;
        if (b >= 'a' && b <= 'z') b -= 32;
        if (a != b) return false;
    }
    return true;
}

// Reads the entries of a .res image; false at the first malformed one.
bool ReadEntries(const uint8_t* data, size_t size, std::vector<Entry>& out) {
    size_t offset = 0;
    while (offset < size) {
        Reader r(data + offset, size - offset);
        DWORD dataSize = r.Dword();
        DWORD headerSize = r.Dword();
        if (!r.ok) // only zero padding may trail the last entry
            return std::all_of(data + offset, data + size,
                               [](uint8_t b) { return b == 0; });
        if (headerSize < 8 || headerSize > size - offset ||
            dataSize > size - offset - headerSize)
            return false;
        Reader h(data + offset, headerSize);
        h.Skip(8);
        Entry e;
        h.NameOrOrdinal(e.typeOrdinal, e.typeName);
        h.NameOrOrdinal(e.nameOrdinal, e.name);
        h.Align();
        h.Skip(4); // DataVersion
        h.Word();  // MemoryFlags
        e.language = h.Word();
        h.Skip(8); // Version, Characteristics
        if (!h.ok) return false;
        e.offset = offset + headerSize;
        e.size = dataSize;
        // The leading empty entry marks the file as 32-bit; it is no resource.
        if (e.typeOrdinal != 0 || !e.typeName.empty()) out.push_back(e);
        offset = e.offset + dataSize;
        offset += (4 - offset % 4) % 4;
    }
    return true;
}

// A resource's bytes as a reader, or a failed reader when it is missing.
Reader FindData(HINSTANCE instance, LPCSTR type, LPCSTR name) {
    DWORD size = 0;
    const void* data = UserFindResource(instance, type, name, &size);
    Reader r(data, data ? size : 0);
    if (!data) r.Fail();
    return r;
}

// A byte that starts a double-byte GBK character.
bool IsLeadByte(unsigned char lead) {
    return lead >= 0x81 && lead <= 0xFE;
}

bool ReadMenuItems(Reader& r, std::vector<UserMenuItem>& items) {
    for (;;) {
        UserMenuItem item;
        item.flags = r.Word();
        if (item.flags & MF_POPUP) return false;
        item.id = r.Word();
        item.text = r.String();
        if (!r.ok) return false;
        bool last = item.flags & MF_END;
        item.flags &= ~MF_END;
        items.push_back(item);
        if (last) return true;
    }
}

// Decodes one RT_ICON image: a DIB with twice the height, its palette, the
// colour rows and the AND mask, bottom row first. 4, 8 and 32 bits.
bool DecodeIconImage(Reader r, HICON__::Image& image) {
    DWORD headerSize = r.Dword();
    LONG width = (LONG)r.Dword();
    LONG doubleHeight = (LONG)r.Dword();
    WORD planes = r.Word();
    WORD bits = r.Word();
    DWORD compression = r.Dword();
    r.Skip(12);
    DWORD colorsUsed = r.Dword();
    r.Skip(4);
    if (!r.ok || headerSize < 40 || planes != 1 || compression != 0 ||
        width < 1 || width > 256 || doubleHeight < 2 || doubleHeight > 512 ||
        (bits != 4 && bits != 8 && bits != 32))
        return false;
    r.Skip(headerSize - 40);
    int height = doubleHeight / 2;
    std::vector<uint32_t> palette;
    if (bits <= 8) {
        DWORD colors = colorsUsed ? colorsUsed : 1u << bits;
        if (colors > 1u << bits) return false;
        for (DWORD i = 0; i < colors && r.ok; ++i)
            palette.push_back(r.Dword() & 0xFFFFFF);
    }
    size_t colorStride = ((size_t)width * bits + 31) / 32 * 4;
    size_t maskStride = ((size_t)width + 31) / 32 * 4;
    if (!r.Has((colorStride + maskStride) * height)) return false;
    const uint8_t* colorRows = r.data + r.pos;
    const uint8_t* maskRows = colorRows + colorStride * height;

    // A 32-bit image whose alpha is all zero is an old one: its mask says
    // which pixels show.
    bool useAlpha = false;
    if (bits == 32)
        for (int row = 0; row < height && !useAlpha; ++row)
            for (int x = 0; x < width && !useAlpha; ++x)
                useAlpha = colorRows[colorStride * row + x * 4 + 3] != 0;

    image.width = width;
    image.height = height;
    image.bits = bits;
    image.argb.assign((size_t)width * height, 0);
    for (int row = 0; row < height; ++row) {
        const uint8_t* line = colorRows + colorStride * row;
        const uint8_t* mask = maskRows + maskStride * row;
        uint32_t* out = &image.argb[(size_t)(height - 1 - row) * width];
        for (int x = 0; x < width; ++x) {
            bool shown = !(mask[x / 8] & (0x80 >> (x % 8)));
            if (bits == 32) {
                const uint8_t* p = line + x * 4;
                uint32_t alpha = useAlpha ? p[3] : shown ? 0xFF : 0;
                out[x] = alpha << 24 | p[2] << 16 | p[1] << 8 | p[0];
            } else if (shown) {
                size_t index =
                    bits == 8 ? line[x] : line[x / 2] >> (x % 2 ? 0 : 4) & 0xF;
                out[x] =
                    0xFF000000 | (index < palette.size() ? palette[index] : 0);
            }
        }
    }
    return true;
}

// Windows' own application icon, for LoadIconA(nullptr, IDI_APPLICATION):
// a white window with a blue title bar.
HICON__* ApplicationIcon() {
    static HICON__ icon;
    if (icon.images.empty())
        for (int size : {32, 16}) {
            HICON__::Image image;
            image.width = image.height = size;
            image.bits = 32;
            image.argb.assign(size * size, 0);
            int edge = size / 16, bar = size / 4;
            for (int y = edge; y < size - edge; ++y)
                for (int x = 0; x < size; ++x) {
                    bool border = x == 0 || x == size - 1 || y == edge ||
                                  y == size - edge - 1;
                    image.argb[y * size + x] = border    ? 0xFF404040
                                               : y < bar ? 0xFF1E5AB4
                                                         : 0xFFFFFFFF;
                }
            icon.images.push_back(image);
        }
    return &icon;
}

bool IsIcon(HICON icon) {
    if (!icon) return false;
    if (icon == ApplicationIcon()) return true;
    if (!loaded) return false;
    for (const auto& known : loaded->icons)
        if (known.second.get() == icon) return true;
    return false;
}

const HICON__::Image* BestImage(HICON icon, int wanted) {
    const HICON__::Image* best = nullptr;
    auto better = [wanted](const HICON__::Image& a, const HICON__::Image& b) {
        // exact size first, then the nearest larger, then the largest
        auto rank = [wanted](const HICON__::Image& i) {
            if (i.width == wanted) return 0;
            if (i.width > wanted) return 1;
            return 2;
        };
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        if (a.width != b.width)
            return rank(a) == 1 ? a.width < b.width : a.width > b.width;
        return a.bits > b.bits;
    };
    for (const HICON__::Image& image : icon->images)
        if (!best || better(image, *best)) best = &image;
    return best;
}

// `value` (0..255) times `alpha` (0..255), divided by 255 with rounding.
uint32_t Scale(uint32_t value, uint32_t alpha) {
    uint32_t t = value * alpha + 128;
    return (t + (t >> 8)) >> 8;
}

} // namespace

HINSTANCE UserCreateModule(const void* resData, size_t size) {
    loaded.reset();
    if (!resData || size == 0) return nullptr;
    auto m = std::make_unique<Module>();
    m->data.assign((const uint8_t*)resData, (const uint8_t*)resData + size);
    if (!ReadEntries(m->data.data(), m->data.size(), m->entries))
        return nullptr;
    loaded = std::move(m);
    return ModuleHandle();
}

// The module's handle: the process's own module for a null name; there
// are no others.
HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name || !loaded) return nullptr;
    return ModuleHandle();
}

const void* UserFindResource(HINSTANCE instance, LPCSTR type, LPCSTR name,
                             DWORD* size) {
    if (size) *size = 0;
    Module* m = ModuleOf(instance);
    if (!m || !type || !name) return nullptr;
    const Entry* found = nullptr;
    for (const Entry& e : m->entries) {
        if (!Matches(type, e.typeOrdinal, e.typeName) ||
            !Matches(name, e.nameOrdinal, e.name))
            continue;
        if (!found || (e.language == kLangChinesePrc &&
                       found->language != kLangChinesePrc))
            found = &e;
    }
    if (!found) return nullptr;
    if (size) *size = (DWORD)found->size;
    // A resource of no bytes still has an address, as on Windows.
    return m->data.data() + std::min(found->offset, m->data.size() - 1);
}

// Copies string `id` in code page 936, cut to size - 1 bytes between two
// characters; returns the bytes copied, 0 (and an empty buffer) when the
// string is missing or empty.
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (id > 0xFFFF) return 0;
    // Strings come sixteen to a block, block n + 1 holding ids 16n to 16n+15.
    Reader r = FindData(instance, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1));
    for (UINT i = 0; i < id % 16 && r.ok; ++i)
        r.Skip(r.Word() * 2u);
    WORD length = r.Word();
    if (!r.Has(length * 2u) || length == 0) return 0;
    std::u16string text(length, u'\0');
    for (char16_t& c : text)
        c = r.Word();
    std::string ansi = WideToAnsi(text.data(), text.size());
    size_t n = 0;
    while (n < ansi.size()) {
        size_t step =
            IsLeadByte((unsigned char)ansi[n]) && n + 1 < ansi.size() ? 2 : 1;
        if (n + step > (size_t)size - 1) break;
        n += step;
    }
    std::memcpy(buffer, ansi.data(), n);
    buffer[n] = '\0';
    return (int)n;
}

bool UserParseMenu(const void* data, DWORD size, UserMenu& out) {
    out = UserMenu();
    if (!data) return false;
    Reader r(data, size);
    WORD version = r.Word();
    WORD headerSize = r.Word();
    if (!r.ok || version != 0) return false;
    r.Skip(headerSize);
    for (;;) {
        UserMenuPopup popup;
        popup.flags = r.Word();
        if (!(popup.flags & MF_POPUP)) popup.id = r.Word();
        popup.text = r.String();
        bool last = popup.flags & MF_END;
        popup.flags &= ~MF_END;
        if (!r.ok ||
            ((popup.flags & MF_POPUP) && !ReadMenuItems(r, popup.items))) {
            out = UserMenu();
            return false;
        }
        out.popups.push_back(popup);
        if (last) return true;
    }
}

bool UserParseDialog(const void* data, DWORD size, UserDialogTemplate& out) {
    out = UserDialogTemplate();
    if (!data) return false;
    Reader r(data, size);
    UserDialogTemplate& t = out;
    t.style = r.Dword();
    if (r.ok && (t.style >> 16) == 0xFFFF) return false; // DLGTEMPLATEEX
    t.exStyle = r.Dword();
    WORD count = r.Word();
    t.x = (short)r.Word();
    t.y = (short)r.Word();
    t.cx = (short)r.Word();
    t.cy = (short)r.Word();
    r.NameOrOrdinal(t.menuOrdinal, t.menuName);
    r.NameOrOrdinal(t.classOrdinal, t.className);
    t.caption = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        t.faceName = r.String();
    }
    for (WORD i = 0; i < count && r.ok; ++i) {
        UserDialogItem item;
        r.Align();
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = (short)r.Word();
        item.y = (short)r.Word();
        item.cx = (short)r.Word();
        item.cy = (short)r.Word();
        item.id = (short)r.Word();
        r.NameOrOrdinal(item.classOrdinal, item.className);
        r.NameOrOrdinal(item.textOrdinal, item.text);
        r.Skip(r.Word()); // creation data, which no control of ours takes
        t.items.push_back(item);
    }
    if (!r.ok) out = UserDialogTemplate();
    return r.ok;
}

// The icon group `name` with every image it lists, decoded; one handle per
// group, as LoadIcon shares its icons. A null instance gives the system's
// icons (IDI_APPLICATION only).
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!instance)
        return name == IDI_APPLICATION ? (HICON)ApplicationIcon() : nullptr;
    Reader r = FindData(instance, RT_GROUP_ICON, name);
    if (!r.ok) return nullptr;
    auto cached = loaded->icons.find(r.data);
    if (cached != loaded->icons.end()) return cached->second.get();
    auto icon = std::make_unique<HICON__>();
    r.Word(); // reserved
    WORD type = r.Word();
    WORD count = r.Word();
    if (!r.ok || type != 1) return nullptr; // 2 would be a cursor group
    for (WORD i = 0; i < count && r.ok; ++i) {
        r.Skip(12); // size, colours, planes, depth, bytes: the image says them
        WORD id = r.Word();
        HICON__::Image image;
        Reader data = FindData(instance, RT_ICON, MAKEINTRESOURCEA(id));
        // A damaged or unknown image is left out; the others still serve.
        if (r.ok && data.ok && DecodeIconImage(data, image))
            icon->images.push_back(std::move(image));
    }
    if (icon->images.empty()) return nullptr;
    HICON handle = icon.get();
    loaded->icons[r.data] = std::move(icon);
    return handle;
}

bool UserIconImage(HICON icon, int wantedSize, std::vector<uint32_t>& argb,
                   int& width, int& height) {
    if (!IsIcon(icon)) return false;
    const HICON__::Image* image = BestImage(icon, wantedSize);
    if (!image) return false;
    argb = image->argb;
    width = image->width;
    height = image->height;
    return true;
}

// The system's cursors (the stand-in keeps SDL's own pointer, so the handle
// is only stored); the module has no cursors of its own.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    static HICON__ systemCursor;
    if (instance || !IS_INTRESOURCE(name) || LOWORD(name) < 32512 ||
        LOWORD(name) > 32651)
        return nullptr;
    return &systemCursor;
}

// The accelerator table `name`: its entries up to the one marked last.
HACCEL WINAPI LoadAcceleratorsA(HINSTANCE instance, LPCSTR name) {
    Reader r = FindData(instance, RT_ACCELERATOR, name);
    if (!r.ok) return nullptr;
    auto cached = loaded->accelerators.find(r.data);
    if (cached != loaded->accelerators.end()) return cached->second.get();
    auto table = std::make_unique<HACCEL__>();
    while (r.Has(8)) {
        UserAccelEntry e;
        e.flags = r.Word();
        e.key = r.Word();
        e.command = r.Word();
        r.Word(); // padding
        table->entries.push_back(e);
        if (e.flags & 0x80) break;
    }
    if (table->entries.empty()) return nullptr;
    HACCEL handle = table.get();
    loaded->accelerators[r.data] = std::move(table);
    return handle;
}

bool UserAcceleratorEntries(HACCEL table, std::vector<UserAccelEntry>& out) {
    out.clear();
    if (!table || !loaded) return false;
    for (const auto& known : loaded->accelerators)
        if (known.second.get() == table) {
            out = table->entries;
            return true;
        }
    return false;
}

// Draws the icon's image for `width` (scaled to width by height when it has
// no image of that size) at x, y, blended by its alpha. 0 means the system's
// icon size, 32.
BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height,
                       UINT, HBRUSH, UINT) {
    const PixelMap* map = GdiGetPixelMap(dc);
    if (!map || !map->pixels || !IsIcon(icon)) return FALSE;
    if (width <= 0) width = 32;
    if (height <= 0) height = 32;
    const HICON__::Image* image = BestImage(icon, width);
    if (!image) return FALSE;
    for (int dy = std::max(0, -y); dy < height && y + dy < map->height; ++dy) {
        // Each target pixel averages the source pixels under it
        // (premultiplied), so a larger image shrinks smoothly.
        int sy0 = dy * image->height / height;
        int sy1 = std::max(sy0 + 1, (dy + 1) * image->height / height);
        uint32_t* row = map->pixels + (size_t)(y + dy) * map->pitch;
        for (int dx = std::max(0, -x); dx < width && x + dx < map->width;
             ++dx) {
            int sx0 = dx * image->width / width;
            int sx1 = std::max(sx0 + 1, (dx + 1) * image->width / width);
            uint32_t a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int sy = sy0; sy < sy1; ++sy)
                for (int sx = sx0; sx < sx1; ++sx) {
                    uint32_t p = image->argb[(size_t)sy * image->width + sx];
                    uint32_t pa = p >> 24;
                    a += pa;
                    r += Scale(p >> 16 & 0xFF, pa);
                    g += Scale(p >> 8 & 0xFF, pa);
                    b += Scale(p & 0xFF, pa);
                    ++n;
                }
            a = (a + n / 2) / n;
            r = (r + n / 2) / n;
            g = (g + n / 2) / n;
            b = (b + n / 2) / n;
            uint32_t& d = row[x + dx];
            uint32_t keep = 255 - a;
            d = (r + Scale(d >> 16 & 0xFF, keep)) << 16 |
                (g + Scale(d >> 8 & 0xFF, keep)) << 8 |
                (b + Scale(d & 0xFF, keep));
        }
    }
    return TRUE;
}
