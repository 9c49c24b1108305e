#include "font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>

#include "platform/gdi/face_match.h"

TTF_Font* OpenMatchingFont(const char* family, bool bold, const char* lang,
                           int px) {
    FaceMatch face;
    if (!MatchFace(family, lang, bold ? 700 : 400, &face)) {
        std::fprintf(stderr, "qel-assets: no font found for \"%s\"\n", family);
        return nullptr;
    }
    TTF_Font* font = TTF_OpenFontIndex(face.file.c_str(), px, face.index);
    if (!font)
        std::fprintf(stderr, "qel-assets: cannot open font %s: %s\n",
                     face.file.c_str(), TTF_GetError());
    return font;
}

void EndFontLookup() {
    FcFini();
}
