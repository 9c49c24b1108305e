// Fonts: face names matched through fontconfig, opened with SDL_ttf at the
// size that gives the asked cell height, and their glyph caches.

#include "gdi_private.h"

#include "../trace/trace.h"

#include "../kernel/codepage.h"
#include "face_match.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstring>

namespace {

// The cell height of the stock font.
const int kDefaultCellHeight = 16;

bool InitLibraries() {
    static bool ready = TTF_WasInit() || TTF_Init() == 0;
    return ready;
}

// Sizes the font so that its cell (ascent plus descent) is `cellHeight`
// pixels: the em is 1 point at `dpi` dots per inch, i.e. dpi/72 pixels, so
// the search runs in steps of 1/72 pixel. The cell grows with the size;
// take the largest size whose cell still fits.
void SetCellHeight(TTF_Font* ttf, int cellHeight) {
    unsigned low = 1, high = 72u * 4 * (unsigned)cellHeight;
    while (low < high) {
        unsigned mid = low + (high - low + 1) / 2;
        TTF_SetFontSizeDPI(ttf, 1, mid, mid);
        if (TTF_FontHeight(ttf) <= cellHeight)
            low = mid;
        else
            high = mid - 1;
    }
    TTF_SetFontSizeDPI(ttf, 1, low, low);
}

// A font of `family` whose cell is `height` pixels high.
GdiFont* OpenFont(const std::string& family, bool chinese, LONG height,
                  LONG weight) {
    if (!InitLibraries()) return nullptr;
    FaceMatch match;
    if (!MatchFace(family.c_str(), chinese ? "zh-cn" : nullptr, weight, &match))
        return nullptr;
    TTF_Font* ttf =
        TTF_OpenFontIndexDPI(match.file.c_str(), 1, match.index, 72, 72);
    if (!ttf) return nullptr;
    SetCellHeight(ttf, height);
    // Simulate the weight the matched face lacks, as GDI does.
    if (match.embolden) TTF_SetFontStyle(ttf, TTF_STYLE_BOLD);
    // GDI places glyphs on whole pixels without kerning.
    TTF_SetFontKerning(ttf, 0);

    auto* font = new GdiFont;
    font->ttf = ttf;
    font->file = match.file;
    font->cellHeight = TTF_FontHeight(ttf);
    return font;
}

// Splits each row's ink into runs of full and of partial coverage, so that
// drawing skips the blank and fills the solid without looking at them.
void FindSpans(GdiGlyph* glyph) {
    for (int y = 0; y < glyph->height; ++y) {
        size_t rowStart = (size_t)y * glyph->width;
        const uint8_t* row = glyph->coverage.data() + rowStart;
        int x = 0;
        while (x < glyph->width) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            bool solid = row[x] == 255;
            int end = x + 1;
            while (end < glyph->width && row[end] != 0 &&
                   (row[end] == 255) == solid)
                ++end;
            glyph->spans.push_back({y, x, end - x, solid, rowStart + x});
            x = end;
        }
    }
    // The solid runs first: their plain stores bring the glyph's rows into
    // the cache while they go on, so the blended edges that read the pixels
    // below them afterwards seldom wait for memory.
    std::stable_partition(glyph->spans.begin(), glyph->spans.end(),
                          [](const GdiSpan& span) { return span.solid; });
}

void Rasterise(GdiFont* font, uint32_t codePoint, GdiGlyph* glyph) {
    glyph->ready = true;
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (TTF_GlyphMetrics32(font->ttf, codePoint, &minX, &maxX, &minY, &maxY,
                           &advance) != 0)
        return;
    glyph->advance = advance;
    SDL_Surface* surface =
        TTF_RenderGlyph32_Blended(font->ttf, codePoint, {255, 255, 255, 255});
    if (!surface) return;
    // The rendered box starts at the pen, or left of it when the glyph
    // reaches back; its top row is the cell's top. Keep only the ink.
    const auto* pixels = static_cast<const uint8_t*>(surface->pixels);
    auto alpha = [&](int x, int y) {
        uint32_t pixel;
        std::memcpy(&pixel, pixels + (ptrdiff_t)y * surface->pitch + x * 4, 4);
        return (uint8_t)(pixel >> 24);
    };
    int x0 = surface->w, y0 = surface->h, x1 = -1, y1 = -1;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            if (alpha(x, y)) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 >= 0) {
        glyph->left = std::min(minX, 0) + x0;
        glyph->top = y0;
        glyph->width = x1 - x0 + 1;
        glyph->height = y1 - y0 + 1;
        glyph->coverage.resize((size_t)glyph->width * glyph->height);
        for (int y = 0; y < glyph->height; ++y)
            for (int x = 0; x < glyph->width; ++x)
                glyph->coverage[(size_t)y * glyph->width + x] =
                    alpha(x0 + x, y0 + y);
        FindSpans(glyph);
    }
    SDL_FreeSurface(surface);
}

} // namespace

GdiFont::~GdiFont() {
    if (ttf) TTF_CloseFont(ttf);
}

// The system face: a plain sans serif that also has the Chinese glyphs.
GdiFont* GdiDefaultFont() {
    static GdiFont* stock = [] {
        GdiFont* font =
            OpenFont("sans-serif", true, kDefaultCellHeight, FW_NORMAL);
        if (font) {
            font->stock = true;
            GdiRegisterObject(font);
        }
        return font;
    }();
    return stock;
}

const GdiGlyph& GdiFontGlyph(GdiFont* font, uint32_t codePoint) {
    GdiGlyph* glyph =
        codePoint < 256 ? &font->latin[codePoint] : &font->others[codePoint];
    if (!glyph->ready) Rasterise(font, codePoint, glyph);
    return *glyph;
}

// A font for the logical font's face, cell height in pixels and weight;
// null when no face can be opened. 宋体, which fontconfig does not know, is
// matched by language instead: a face with the Chinese glyphs.
HFONT WINAPI CreateFontIndirectA(const LOGFONTA* logFont) {
    TRACE(TRACE_GDI, "height=%d weight=%d italic=%u underline=%u strike=%u",
          (int)logFont->lfHeight, (int)logFont->lfWeight,
          (unsigned)logFont->lfItalic, (unsigned)logFont->lfUnderline,
          (unsigned)logFont->lfStrikeOut);
    if (logFont->lfItalic || logFont->lfUnderline || logFont->lfStrikeOut ||
        logFont->lfEscapement || logFont->lfOrientation)
        FIXME(TRACE_GDI, "italic, underline, strike-out and turned text are "
                         "drawn plain");
    size_t length = strnlen(logFont->lfFaceName, LF_FACESIZE);
    std::string face = AnsiToUtf8(logFont->lfFaceName, length);
    GdiFont* font =
        OpenFont(face, face == "宋体", logFont->lfHeight, logFont->lfWeight);
    return font ? GdiRegisterObject(font) : nullptr;
}
