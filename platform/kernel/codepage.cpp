// Code page conversions through glibc's iconv: one converter a direction,
// opened on first use, shared under a lock and closed at exit.

#include "codepage.h"

#include <cerrno>
#include <iconv.h>
#include <algorithm>
#include <mutex>

namespace {

#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
const char kUtf16[] = "UTF-16BE";
#else
const char kUtf16[] = "UTF-16LE";
#endif

class Converter {
  public:
    Converter(const char* to, const char* from) : to(to), from(from) {}
    ~Converter() {
        if (handle != (iconv_t)-1) iconv_close(handle);
    }

    // Converts `length` bytes of `text`, `unit` bytes a character unit,
    // appending to `out`. An unconvertible unit (two for a surrogate pair)
    // becomes '?', a character cut at the end is dropped. Returns false
    // when there is no converter.
    bool Convert(const char* text, size_t length, size_t unit,
                 std::string* out) {
        std::lock_guard<std::mutex> hold(lock);
        if (!opened) {
            handle = iconv_open(to, from);
            opened = true;
        }
        if (handle == (iconv_t)-1) return false;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text);
        size_t inLeft = length;
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            size_t outLeft = sizeof buffer;
            size_t done = iconv(handle, &in, &inLeft, &next, &outLeft);
            int error = errno;
            out->append(buffer, (size_t)(next - buffer));
            if (done != (size_t)-1 || error == E2BIG) continue;
            if (error != EILSEQ) break; // EINVAL: cut at the end
            out->push_back('?');
            size_t skip = std::min(
                unit * (IsHighSurrogate(in, unit, inLeft) ? 2 : 1), inLeft);
            in += skip;
            inLeft -= skip;
        }
        return true;
    }

  private:
    static bool IsHighSurrogate(const char* at, size_t unit, size_t left) {
        if (unit != 2 || left < 4) return false;
        char16_t c, d;
        __builtin_memcpy(&c, at, 2);
        __builtin_memcpy(&d, at + 2, 2);
        return c >= 0xD800 && c < 0xDC00 && d >= 0xDC00 && d < 0xE000;
    }

    const char* to;
    const char* from;
    std::mutex lock;
    bool opened = false;
    iconv_t handle = (iconv_t)-1;
};

Converter ansiToUtf8("UTF-8", "CP936");
Converter wideToAnsi("CP936", kUtf16);

void AppendUtf8(uint32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back((char)c);
    } else if (c < 0x800) {
        out->push_back((char)(0xC0 | c >> 6));
        out->push_back((char)(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back((char)(0xE0 | c >> 12));
        out->push_back((char)(0x80 | (c >> 6 & 0x3F)));
        out->push_back((char)(0x80 | (c & 0x3F)));
    } else {
        out->push_back((char)(0xF0 | c >> 18));
        out->push_back((char)(0x80 | (c >> 12 & 0x3F)));
        out->push_back((char)(0x80 | (c >> 6 & 0x3F)));
        out->push_back((char)(0x80 | (c & 0x3F)));
    }
}

// Without a converter, what is plain ASCII.
template <class Unit> std::string AsciiOnly(const Unit* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i)
        out.push_back((uint32_t)text[i] < 0x80 ? (char)text[i] : '?');
    return out;
}

} // namespace

std::string AnsiToUtf8(const char* text, size_t length) {
    std::string out;
    if (length == 0) return out;
    if (!ansiToUtf8.Convert(text, length, 1, &out))
        return AsciiOnly(text, length);
    return out;
}

std::string WideToAnsi(const char16_t* text, size_t length) {
    std::string out;
    if (length == 0) return out;
    if (!wideToAnsi.Convert(reinterpret_cast<const char*>(text),
                            length * sizeof(char16_t), sizeof(char16_t), &out))
        return AsciiOnly(text, length);
    return out;
}

std::string WideToUtf8(const char16_t* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length &&
            text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(c, &out);
    }
    return out;
}

void Utf8ToCodePoints(const std::string& utf8, std::vector<uint32_t>* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* end = p + utf8.size();
    while (p < end) {
        uint32_t c = *p++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
        for (; more > 0 && p < end; --more)
            c = c << 6 | (*p++ & 0x3F);
        out->push_back(c);
    }
}
