// The ANSI code page of a Chinese (PRC) system, 936, to UTF-8 for SDL.
#include <iconv.h>

#include <string>

#include "user_internal.h"

std::string UserAnsiToUtf8(const std::string& text) {
    static iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == (iconv_t)-1) return text;
    std::string out(text.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != (size_t)-1) break;
        // An invalid or cut sequence: show '?' for its byte and go on.
        if (outLeft == 0) break;
        *outPtr++ = '?';
        --outLeft;
        ++in;
        --inLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}
