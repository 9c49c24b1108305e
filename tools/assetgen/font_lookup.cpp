#include "font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <string>

TTF_Font* OpenMatchingFont(const char* family, bool bold, const char* lang,
                           int px) {
    if (!FcInit()) {
        std::fprintf(stderr, "qel-assets: fontconfig cannot start\n");
        return nullptr;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    // Only a language added after the substitutions steers the match to a
    // face that has its glyphs.
    if (lang)
        FcPatternAddString(pattern, FC_LANG,
                           reinterpret_cast<const FcChar8*>(lang));
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);

    std::string file;
    int index = 0;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternDestroy(match);
    }
    if (file.empty()) {
        std::fprintf(stderr, "qel-assets: no font found for \"%s\"\n", family);
        return nullptr;
    }
    TTF_Font* font = TTF_OpenFontIndex(file.c_str(), px, index);
    if (!font)
        std::fprintf(stderr, "qel-assets: cannot open font %s: %s\n",
                     file.c_str(), TTF_GetError());
    return font;
}

void EndFontLookup() {
    FcFini();
}
