// Inside the GDI stand-in: the objects behind the handles, and the registry
// that tells our handles from anything else.
#ifndef QEL_PLATFORM_GDI_GDI_PRIVATE_H
#define QEL_PLATFORM_GDI_GDI_PRIVATE_H

#include <windows.h>

#include "dc.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

typedef struct _TTF_Font TTF_Font;

enum class GdiKind { Font, Brush, Bitmap };

// Every GDI object handle points at one of these.
struct GdiObject {
    explicit GdiObject(GdiKind k);
    virtual ~GdiObject() = default;
    GdiKind kind;
    uint64_t serial;     // never reused, unlike the object's address
    bool stock = false;  // never deleted
    int selectCount = 0; // device contexts that have it selected
};

// A run of ink on one row of a glyph: fully covered pixels are filled with
// the colour, partly covered ones blended by their coverage.
struct GdiSpan {
    int row;
    int x;
    int length;
    bool solid;    // every pixel fully covered
    size_t offset; // of its first pixel in the coverage
};

// One rasterised glyph: coverage (0..255) of its ink box, placed relative to
// the pen position on the cell's top line, and the box's runs of ink.
struct GdiGlyph {
    bool ready = false;
    int left = 0; // ink box offset from the pen, pixels
    int top = 0;  // ink box offset from the cell top, pixels
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<uint8_t> coverage; // width * height
    std::vector<GdiSpan> spans;
};

struct GdiFont : GdiObject {
    GdiFont() : GdiObject(GdiKind::Font) {}
    ~GdiFont() override;
    TTF_Font* ttf = nullptr;
    std::string file; // the face's file, as fontconfig matched it
    int cellHeight = 0;
    GdiGlyph latin[256]; // the glyphs of U+0000..U+00FF, by code point
    std::unordered_map<uint32_t, GdiGlyph> others;
};

struct GdiBrush : GdiObject {
    GdiBrush() : GdiObject(GdiKind::Brush) {}
    COLORREF color = 0;
};

struct GdiBitmap : GdiObject {
    GdiBitmap() : GdiObject(GdiKind::Bitmap) {}
    std::vector<uint32_t> pixels;
    PixelMap map;
};

// A DC's background mode is kept only for SetBkMode to give back: text is
// always drawn transparent, as every caller asks.
struct GdiDC {
    PixelMap target;     // what a pixel DC draws on
    bool memory = false; // a memory DC draws on its selected bitmap
    GdiFont* font = nullptr;
    GdiBitmap* bitmap = nullptr;
    int bkMode = OPAQUE;
    COLORREF textColor = RGB(0, 0, 0);
    GdiDrawNoter noter = nullptr; // told what each drawing call did
    void* noteContext = nullptr;
};

// Tells the DC's watcher, if any, what a drawing call did.
inline void GdiNoteDrawn(const GdiDC* dc, const GdiDrawNote& note) {
    if (dc->noter) dc->noter(dc->noteContext, note);
}
// The same for a call that may have changed anything within `map`.
void GdiNoteOther(const GdiDC* dc, const PixelMap& map);

// The registry: null for a handle that is not a live object or DC of ours.
GdiObject* GdiLookupObject(HGDIOBJ handle);
GdiDC* GdiLookupDC(HDC handle);
HGDIOBJ GdiRegisterObject(GdiObject* object);
HDC GdiRegisterDC(GdiDC* dc);
void GdiUnregisterDC(HDC handle);

// The stock font every new device context starts with.
GdiFont* GdiDefaultFont();

// The pixels a DC draws on, or null.
const PixelMap* GdiTarget(const GdiDC* dc);

// The glyph of `codePoint`, rasterised on first use and cached in the font.
const GdiGlyph& GdiFontGlyph(GdiFont* font, uint32_t codePoint);

// Fills the rectangle, clipped to the map, with an XRGB pixel value.
void GdiFillPixels(const PixelMap& map, int left, int top, int right,
                   int bottom, uint32_t pixel);

// For tests: live objects and DCs.
int GdiLiveObjectCount();
int GdiLiveDCCount();

#endif
