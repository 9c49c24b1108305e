// The face fontconfig picks for a family name, as a desktop would pick it:
// the one lookup of both the GDI stand-in and the asset generator.
#ifndef QEL_PLATFORM_GDI_FACE_MATCH_H
#define QEL_PLATFORM_GDI_FACE_MATCH_H

#include <string>

struct FaceMatch {
    std::string file;
    int index = 0;         // of the face in its file (a .ttc holds several)
    bool embolden = false; // a bold the face lacks, to be simulated
};

// The scalable face that stands in for `family`, covering `lang` (e.g.
// "zh-cn") when given, of OpenType `weight` (400 regular, 700 bold; 0 any).
// False when fontconfig cannot start or finds no file.
bool MatchFace(const char* family, const char* lang, int weight,
               FaceMatch* match);

#endif
