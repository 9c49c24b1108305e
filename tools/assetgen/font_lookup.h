// Fonts by family name through fontconfig, as the desktop would pick them.
#ifndef QEL_ASSETGEN_FONT_LOOKUP_H
#define QEL_ASSETGEN_FONT_LOOKUP_H

#include <SDL_ttf.h>

// Opens the face fontconfig matches for family, bold or regular, at px
// pixels to the em. lang (e.g. "zh-cn"), when given, makes fontconfig pick
// a face that covers that language. Null, with a message on stderr, when no
// face can be opened. TTF_Init must have been called.
TTF_Font* OpenMatchingFont(const char* family, bool bold, const char* lang,
                           int px);

// Lets fontconfig go once every font has been found.
void EndFontLookup();

#endif
