// user32: the module's icons, decoded from their RT_ICON images and drawn
// onto device contexts, and the system cursor. The stand-in's display is
// true colour, so of an icon's images only the 32-bit ones are taken, as
// Windows takes those that suit its display.
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>

#include "../gdi/dc.h"
#include "res_reader_private.h"
#include "resource_private.h"
#include "../trace/trace.h"

// An icon: its 32-bit images.
struct HICON__ {
    struct Image {
        int width = 0, height = 0;
        std::vector<uint32_t> argb; // straight 0xAARRGGBB, top row first
    };
    std::vector<Image> images;
};

namespace {

// The icons made from the module's groups, by the group's data.
std::map<const void*, std::unique_ptr<HICON__>> icons;

// Decodes one 32-bit RT_ICON image: a DIB with twice the height, its rows
// of blue, green, red and alpha bottom row first, then the AND mask, which
// the alpha makes needless.
bool DecodeIconImage(ResReader r, HICON__::Image& image) {
    DWORD headerSize = r.Dword();
    LONG width = (LONG)r.Dword();
    LONG height = (LONG)r.Dword() / 2;
    r.Word(); // planes
    WORD bits = r.Word();
    // Square, as every icon image of ours, and no larger than Windows' own.
    if (!r.ok || bits != 32 || width < 1 || width > 256 || height != width)
        return false;
    r.Skip(headerSize - 16);
    if (!r.Has((size_t)width * height * 4)) return false;
    image.width = width;
    image.height = height;
    image.argb.resize((size_t)width * height);
    for (int row = height - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = r.data + r.pos;
            image.argb[(size_t)row * width + x] =
                (uint32_t)p[3] << 24 | p[2] << 16 | p[1] << 8 | p[0];
            r.pos += 4;
        }
    return true;
}

// The icon's image `size` pixels wide, or null.
const HICON__::Image* ImageOfSize(HICON icon, int size) {
    if (std::none_of(icons.begin(), icons.end(), [icon](const auto& made) {
            return made.second.get() == icon;
        }))
        return nullptr;
    for (const HICON__::Image& image : icon->images)
        if (image.width == size) return &image;
    return nullptr;
}

// `value` (0..255) times `alpha` (0..255), divided by 255 with rounding.
uint32_t Scale(uint32_t value, uint32_t alpha) {
    uint32_t t = value * alpha + 128;
    return (t + (t >> 8)) >> 8;
}

} // namespace

void ResDropIcons() {
    icons.clear();
}

// The icon group `name` with the images it lists that decode; one handle
// per group, as LoadIcon shares its icons.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    TRACE(TRACE_USER, "name=%p", (const void*)name);
    ResReader r = ResFind(instance, RT_GROUP_ICON, name);
    if (!r.ok) return nullptr;
    auto made = icons.find(r.data);
    if (made != icons.end()) return made->second.get();
    auto icon = std::make_unique<HICON__>();
    r.Skip(4); // reserved, type (1: icons)
    WORD count = r.Word();
    for (WORD i = 0; i < count && r.ok; ++i) {
        r.Skip(12); // size, colours, planes, depth, bytes: the image says them
        WORD id = r.Word();
        HICON__::Image image;
        // An image of another depth, or a damaged one, is left out.
        if (r.ok &&
            DecodeIconImage(ResFind(instance, RT_ICON, MAKEINTRESOURCEA(id)),
                            image))
            icon->images.push_back(std::move(image));
    }
    if (icon->images.empty()) return nullptr;
    HICON handle = icon.get();
    icons[r.data] = std::move(icon);
    return handle;
}

bool UserIconImage(HICON icon, int size, std::vector<uint32_t>& argb,
                   int& width, int& height) {
    const HICON__::Image* image = ImageOfSize(icon, size);
    if (!image) return false;
    argb = image->argb;
    width = image->width;
    height = image->height;
    return true;
}

// The system's arrow, the one cursor the game asks for; the stand-in keeps
// SDL's own pointer, so the handle is only stored.
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) {
    static HICON__ arrow;
    return &arrow;
}

// Draws the icon's image of `width` pixels at x, y, blended by its alpha;
// FALSE when it has no image of that size.
BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int, UINT,
                       HBRUSH, UINT) {
    const PixelMap* map = GdiGetPixelMap(dc);
    const HICON__::Image* image = ImageOfSize(icon, width);
    if (!map || !map->pixels || !image) return FALSE;
    for (int sy = std::max(0, -y); sy < image->height && y + sy < map->height;
         ++sy) {
        uint32_t* row = map->pixels + (size_t)(y + sy) * map->pitch;
        for (int sx = std::max(0, -x); sx < image->width && x + sx < map->width;
             ++sx) {
            uint32_t p = image->argb[(size_t)sy * image->width + sx];
            uint32_t a = p >> 24, keep = 255 - a;
            uint32_t& d = row[x + sx];
            d = (Scale(p >> 16 & 0xFF, a) + Scale(d >> 16 & 0xFF, keep)) << 16 |
                (Scale(p >> 8 & 0xFF, a) + Scale(d >> 8 & 0xFF, keep)) << 8 |
                (Scale(p & 0xFF, a) + Scale(d & 0xFF, keep));
        }
    }
    return TRUE;
}
