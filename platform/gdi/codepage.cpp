// The ANSI code page, 936 (GBK), to Unicode, through glibc's iconv.

#include "gdi_private.h"

#include <cerrno>
#include <iconv.h>

namespace {

// Opened once: TextOutA runs every frame.
iconv_t Converter() {
    static iconv_t converter = iconv_open("UTF-8", "CP936");
    return converter;
}

// Converts into `out` (reused between calls). A cut double-byte sequence
// at the end is dropped, a byte that starts no character becomes '?'.
void ToUtf8(const char* text, int length, std::string* out) {
    out->clear();
    iconv_t converter = Converter();
    if (converter == (iconv_t)-1) { // no gconv modules: ASCII only
        for (int i = 0; i < length; ++i)
            out->push_back((unsigned char)text[i] < 0x80 ? text[i] : '?');
        return;
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    // A GBK character of one or two bytes becomes at most three UTF-8 bytes.
    out->resize((size_t)length * 3 + 4);
    char* in = const_cast<char*>(text);
    size_t inLeft = (size_t)length;
    char* start = &(*out)[0];
    char* next = start;
    size_t outLeft = out->size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &next, &outLeft) != (size_t)-1)
            break;
        if (errno == EILSEQ && outLeft > 0) {
            *next++ = '?';
            --outLeft;
            ++in;
            --inLeft;
            continue;
        }
        break; // EINVAL: the text ends inside a character
    }
    out->resize((size_t)(next - start));
}

} // namespace

std::string GdiAnsiToUtf8(const char* text, int length) {
    std::string utf8;
    ToUtf8(text, length, &utf8);
    return utf8;
}

const std::vector<uint32_t>& GdiDecodeAnsi(const char* text, int length) {
    static std::vector<uint32_t> codePoints;
    static std::string utf8;
    codePoints.clear();
    bool ascii = true;
    for (int i = 0; i < length && ascii; ++i)
        ascii = (unsigned char)text[i] < 0x80;
    if (ascii) {
        codePoints.assign(text, text + length);
        return codePoints;
    }
    ToUtf8(text, length, &utf8);
    // iconv wrote valid UTF-8: decode it without further checks.
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* end = p + utf8.size();
    while (p < end) {
        uint32_t c = *p++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
        for (; more > 0 && p < end; --more)
            c = c << 6 | (*p++ & 0x3F);
        codePoints.push_back(c);
    }
    return codePoints;
}
