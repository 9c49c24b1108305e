// The keyboard picture of the pause screen: a US keyboard whose keys are
// coloured by the finger that types them, with a legend naming the fingers.
//
// The game draws the picture with pure white as its transparent colour, so
// everything around the keyboard and the legend must decode as exactly
// (255, 255, 255). A JPEG codes 16 by 16 blocks (8 by 8 for brightness),
// and a block that holds both white and a colour comes back with noise on
// its white pixels. So both panels have edges on the 16-pixel grid, and
// their outer 16 pixels are neutral grey: the colour blocks next to the
// white ones carry no tint that could bleed into them.
#include <SDL_image.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets.h"
#include "canvas.h"
#include "font_lookup.h"

namespace {

constexpr int kWidth = 992;
constexpr int kHeight = 320;
constexpr int kQuality = 95;

// The keyboard's case and the legend's panel, on the 16-pixel grid.
constexpr int kCaseLeft = 16, kCaseRight = 816;
constexpr int kLegendLeft = 832, kLegendRight = 976;
constexpr int kPanelTop = 16, kPanelBottom = 304;
constexpr int kBezel = 16;

// Keys: 15 key widths across and 5 rows inside the bezel.
constexpr double kUnit = (kCaseRight - kCaseLeft - 2 * kBezel) / 15.0;
constexpr double kGap = 6;

const Rgb kWhite = {255, 255, 255};
const Rgb kBezelGrey = {66, 66, 66};
const Rgb kWellGrey = {44, 44, 44};
const Rgb kLabelInk = {34, 38, 46};
const Rgb kLegendInk = {226, 226, 226};

enum Finger {
    LeftLittle,
    LeftRing,
    LeftMiddle,
    LeftIndex,
    RightIndex,
    RightMiddle,
    RightRing,
    RightLittle,
    Thumb,
    kFingers
};

struct FingerStyle {
    Rgb colour;
    const char* name;
};

// Left to right along the keyboard, the colours run round the spectrum.
const FingerStyle kFingerStyles[kFingers] = {
    {{240, 134, 134}, "左手小指"},   {{247, 178, 104}, "左手无名指"},
    {{242, 214, 102}, "左手中指"},   {{150, 210, 118}, "左手食指"},
    {{104, 202, 188}, "右手食指"},   {{118, 168, 236}, "右手中指"},
    {{172, 152, 232}, "右手无名指"}, {{230, 140, 200}, "右手小指"},
    {{214, 204, 186}, "拇指"}};

enum LabelStyle { Letter, Pair, Word };

struct Key {
    const char* label;   // the letter, the unshifted symbol, or the name
    const char* shifted; // the symbol above it on two-symbol keys
    double width;        // in key widths
    Finger finger;
    LabelStyle style;
    bool homeMark; // the bump on F and J
};

struct Row {
    std::vector<Key> keys;
};

Key L(const char* letter, Finger f, bool home = false) {
    return {letter, nullptr, 1, f, Letter, home};
}
Key P(const char* below, const char* above, Finger f) {
    return {below, above, 1, f, Pair, false};
}
Key W(const char* name, double width, Finger f) {
    return {name, nullptr, width, f, Word, false};
}

// The standard touch-typing assignment of the US layout.
std::vector<Row> Layout() {
    return {
        {{P("`", "~", LeftLittle), P("1", "!", LeftLittle),
          P("2", "@", LeftRing), P("3", "#", LeftMiddle),
          P("4", "$", LeftIndex), P("5", "%", LeftIndex),
          P("6", "^", RightIndex), P("7", "&", RightIndex),
          P("8", "*", RightMiddle), P("9", "(", RightRing),
          P("0", ")", RightLittle), P("-", "_", RightLittle),
          P("=", "+", RightLittle), W("Backspace", 2, RightLittle)}},
        {{W("Tab", 1.5, LeftLittle),
          L("Q", LeftLittle),
          L("W", LeftRing),
          L("E", LeftMiddle),
          L("R", LeftIndex),
          L("T", LeftIndex),
          L("Y", RightIndex),
          L("U", RightIndex),
          L("I", RightMiddle),
          L("O", RightRing),
          L("P", RightLittle),
          P("[", "{", RightLittle),
          P("]", "}", RightLittle),
          {"\\", "|", 1.5, RightLittle, Pair, false}}},
        {{W("Caps Lock", 1.75, LeftLittle), L("A", LeftLittle),
          L("S", LeftRing), L("D", LeftMiddle), L("F", LeftIndex, true),
          L("G", LeftIndex), L("H", RightIndex), L("J", RightIndex, true),
          L("K", RightMiddle), L("L", RightRing), P(";", ":", RightLittle),
          P("'", "\"", RightLittle), W("Enter", 2.25, RightLittle)}},
        {{W("Shift", 2.25, LeftLittle), L("Z", LeftLittle), L("X", LeftRing),
          L("C", LeftMiddle), L("V", LeftIndex), L("B", LeftIndex),
          L("N", RightIndex), L("M", RightIndex), P(",", "<", RightMiddle),
          P(".", ">", RightRing), P("/", "?", RightLittle),
          W("Shift", 2.75, RightLittle)}},
        {{W("Ctrl", 1.25, LeftLittle), W("Win", 1.25, Thumb),
          W("Alt", 1.25, Thumb), W("Space", 6.25, Thumb), W("Alt", 1.25, Thumb),
          W("Win", 1.25, Thumb), W("Menu", 1.25, Thumb),
          W("Ctrl", 1.25, RightLittle)}},
    };
}

struct Fonts {
    TTF_Font* letter = nullptr;  // letters
    TTF_Font* symbol = nullptr;  // the two symbols of a pair
    TTF_Font* word = nullptr;    // key names
    TTF_Font* chinese = nullptr; // the legend
    TTF_Font* title = nullptr;   // the legend's heading
};

void CloseFonts(Fonts& f) {
    for (TTF_Font* font : {f.letter, f.symbol, f.word, f.chinese, f.title})
        if (font) TTF_CloseFont(font);
}

// Every character of text is in the font (UTF-8 input).
bool Covers(TTF_Font* font, const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        Uint32 c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= extra ? 0x3F >> extra : 0x7F;
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p)
            c = (c << 6) | (*p & 0x3F);
        if (!TTF_GlyphIsProvided32(font, c)) return false;
    }
    return true;
}

bool OpenFonts(Fonts& f) {
    f.letter = OpenMatchingFont("Liberation Sans", true, nullptr, 21);
    f.symbol = OpenMatchingFont("Liberation Sans", true, nullptr, 16);
    f.word = OpenMatchingFont("Liberation Sans", false, nullptr, 13);
    f.chinese = OpenMatchingFont("WenQuanYi Zen Hei", false, "zh-cn", 15);
    f.title = OpenMatchingFont("WenQuanYi Zen Hei", false, "zh-cn", 17);
    if (!f.letter || !f.symbol || !f.word || !f.chinese || !f.title)
        return false;
    for (TTF_Font* font : {f.letter, f.symbol, f.word})
        TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
    for (const FingerStyle& s : kFingerStyles)
        if (!Covers(f.chinese, s.name)) {
            std::fprintf(stderr, "qel-assets: no Chinese font for \"%s\"\n",
                         s.name);
            return false;
        }
    return true;
}

// A key cap: a darker skirt and a lit top face, as seen from a little above.
void DrawCap(SDL_Surface* s, double x, double y, double w, double h, Rgb c) {
    Rgb skirt = MixColours(c, {0, 0, 0}, 0.3);
    FillRoundedRect(s, x, y, w, h, 6, skirt, MixColours(skirt, {0, 0, 0}, 0.2));
    // Lit from above: the face lightens towards its top edge, never to white.
    Rgb lit = MixColours(c, kWhite, 0.22);
    FillRoundedRect(s, x + 3, y + 2, w - 6, h - 8, 5, lit, c);
}

bool DrawKey(SDL_Surface* s, const Fonts& fonts, const Key& k, double x,
             double y) {
    double w = k.width * kUnit - kGap, h = kUnit - kGap;
    x += kGap / 2;
    y += kGap / 2;
    DrawCap(s, x, y, w, h, kFingerStyles[k.finger].colour);
    // The label area is the top face, which sits above the skirt.
    double cx = x + w / 2, cy = y + 2 + (h - 8) / 2;
    bool ok = true;
    switch (k.style) {
    case Letter:
        ok = DrawTextCentred(s, fonts.letter, k.label, kLabelInk, cx,
                             k.homeMark ? cy - 4 : cy);
        break;
    case Pair:
        ok = DrawTextCentred(s, fonts.symbol, k.shifted, kLabelInk, cx,
                             cy - 9) &&
             DrawTextCentred(s, fonts.symbol, k.label, kLabelInk, cx, cy + 9);
        break;
    case Word:
        ok = DrawTextCentred(s, fonts.word, k.label, kLabelInk, cx, cy);
        break;
    }
    if (k.homeMark) // the raised bar fingers find without looking
        FillRoundedRect(s, cx - 6, y + h - 13, 12, 3, 1.5, kLabelInk,
                        kLabelInk);
    return ok;
}

// A panel: a neutral grey bezel round a darker well, square outer corners
// on the 16-pixel grid.
void DrawPanel(SDL_Surface* s, int left, int top, int right, int bottom) {
    FillRect(s, left, top, right, bottom, kBezelGrey);
    FillRect(s, left, top, right, top + 1, {92, 92, 92}); // top highlight
    FillRect(s, left, bottom - 1, right, bottom, {50, 50, 50});
    FillRoundedRect(s, left + 8, top + 8, right - left - 16, bottom - top - 16,
                    6, kWellGrey, kWellGrey);
}

bool DrawKeyboard(SDL_Surface* s, const Fonts& fonts) {
    DrawPanel(s, kCaseLeft, kPanelTop, kCaseRight, kPanelBottom);
    std::vector<Row> rows = Layout();
    for (size_t r = 0; r < rows.size(); ++r) {
        double x = kCaseLeft + kBezel;
        double y = kPanelTop + kBezel + r * kUnit;
        for (const Key& k : rows[r].keys) {
            if (!DrawKey(s, fonts, k, x, y)) return false;
            x += k.width * kUnit;
        }
    }
    return true;
}

bool DrawLegend(SDL_Surface* s, const Fonts& fonts) {
    DrawPanel(s, kLegendLeft, kPanelTop, kLegendRight, kPanelBottom);
    int left = kLegendLeft + kBezel;
    if (!DrawTextCentred(s, fonts.title, "手指分工", kLegendInk,
                         (kLegendLeft + kLegendRight) / 2.0, kPanelTop + 24))
        return false;
    FillRect(s, left, kPanelTop + 42, kLegendRight - kBezel, kPanelTop + 43,
             {96, 96, 96});
    // The swatches keep out of the outer 16 pixels, which must stay grey.
    for (int i = 0; i < kFingers; ++i) {
        double cy = kPanelTop + 60 + i * 25;
        DrawCap(s, left, cy - 10, 22, 20, kFingerStyles[i].colour);
        if (!DrawTextLeft(s, fonts.chinese, kFingerStyles[i].name, kLegendInk,
                          left + 30, cy))
            return false;
    }
    return true;
}

bool Draw(SDL_Surface* s) {
    Fonts fonts;
    bool ok =
        OpenFonts(fonts) && DrawKeyboard(s, fonts) && DrawLegend(s, fonts);
    CloseFonts(fonts);
    return ok;
}

} // namespace

bool WriteKeyboardPicture(const std::string& path) {
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "qel-assets: SDL_ttf: %s\n", TTF_GetError());
        return false;
    }
    SDL_Surface* canvas = CreateCanvas(kWidth, kHeight, kWhite);
    bool ok = canvas && Draw(canvas);
    if (!canvas)
        std::fprintf(stderr, "qel-assets: %s\n", SDL_GetError());
    else if (!ok)
        std::fprintf(stderr, "qel-assets: cannot draw the keyboard: %s\n",
                     TTF_GetError());
    if (ok && IMG_SaveJPG(canvas, path.c_str(), kQuality) != 0) {
        std::fprintf(stderr, "qel-assets: cannot write %s: %s\n", path.c_str(),
                     IMG_GetError());
        std::remove(path.c_str());
        ok = false;
    }
    SDL_FreeSurface(canvas);
    EndFontLookup();
    TTF_Quit();
    IMG_Quit();
    return ok;
}
