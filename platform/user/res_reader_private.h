// Inside the resource files (res_*.cpp): a bounds-checked reader over the
// bytes of a resource, and what one of them asks of another.
#ifndef QEL_PLATFORM_USER_RES_READER_PRIVATE_H
#define QEL_PLATFORM_USER_RES_READER_PRIVATE_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Little-endian reads that fail, once and for good, at the end of the bytes.
struct ResReader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    ResReader(const void* d, size_t s) : data((const uint8_t*)d), size(s) {}

    bool Has(size_t n) const { return ok && n <= size - pos; }
    WORD Word() {
        if (!Has(2)) return ok = false, 0;
        WORD v = (WORD)(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (DWORD)Word() << 16;
    }
    void Skip(size_t n) {
        if (Has(n))
            pos += n;
        else
            ok = false;
    }
    // To the next multiple of four from the start of the bytes.
    void Align() { Skip((4 - pos % 4) % 4); }
    // A zero-terminated UTF-16 string.
    std::u16string String() {
        std::u16string s;
        for (WORD c = Word(); ok && c != 0; c = Word())
            s += (char16_t)c;
        return s;
    }
};

// The resource `type`/`name` (ordinals) of the module as a reader; a failed
// one when it is missing.
ResReader ResFind(HINSTANCE instance, LPCSTR type, LPCSTR name);

// Forgets the icons made from the module's resources, which go with it.
void ResDropIcons();

#endif
