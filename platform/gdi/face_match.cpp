// The fontconfig lookup of a face by family name.
#include "face_match.h"

#include <fontconfig/fontconfig.h>

// The language goes into the pattern before the substitutions: added after
// them it ranks below the locale's language, and "宋体" then matches a face
// without Chinese glyphs.
bool MatchFace(const char* family, const char* lang, int weight,
               FaceMatch* match) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family));
    if (lang)
        FcPatternAddString(pattern, FC_LANG,
                           reinterpret_cast<const FcChar8*>(lang));
    if (weight > 0)
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return false;
    FcChar8* file = nullptr;
    bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch;
    if (ok) {
        FcBool embolden = FcFalse;
        match->file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(found, FC_INDEX, 0, &match->index);
        FcPatternGetBool(found, FC_EMBOLDEN, 0, &embolden);
        match->embolden = embolden == FcTrue;
    }
    FcPatternDestroy(found);
    return ok;
}
