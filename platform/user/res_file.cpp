// user32 and kernel32: the module's resources. The module is the .res that
// windres compiles from the resource script: a run of entries, each a
// header (data size, header size, type, name, language ...) and its data,
// 32-bit aligned. Every read is checked against the bytes there are.
#include <windows.h>

#include <cstring>
#include <memory>

#include "res_reader_private.h"
#include "resource_private.h"
#include "../trace/trace.h"

namespace {

struct Entry {
    WORD type, name; // ordinals
    size_t offset, size;
};

struct Module {
    std::vector<uint8_t> data;
    std::vector<Entry> entries;
};

std::unique_ptr<Module> loaded; // the process's one module

// The module's handle stays the same whatever resources it is given, as the
// image base of a process's executable does.
char moduleHandle;
HINSTANCE ModuleHandle() {
    return (HINSTANCE)&moduleHandle;
}

// The types the stand-in serves. The others (the version information, the
// manifest) are for Windows' own loader and Explorer, never asked for here.
bool IsServedType(WORD type) {
    for (LPCSTR served : {RT_ICON, RT_GROUP_ICON, RT_MENU, RT_DIALOG, RT_STRING,
                          RT_ACCELERATOR})
        if (type == LOWORD(served)) return true;
    return false;
}

// Reads the entries of a .res image; false at the first malformed one.
// Entries named by strings are passed over: the game asks for ordinals.
bool ReadEntries(const uint8_t* data, size_t size, std::vector<Entry>& out) {
    for (size_t offset = 0; offset < size;) {
        ResReader r(data + offset, size - offset);
        DWORD dataSize = r.Dword();
        DWORD headerSize = r.Dword();
        bool typeIsOrdinal = r.Word() == 0xFFFF;
        WORD type = r.Word();
        bool nameIsOrdinal = r.Word() == 0xFFFF;
        WORD name = r.Word();
        // Every header has its 32 bytes at least, so each entry moves on; a
        // header cut short claims more than there is, or reads as zeros.
        if (headerSize < 32 || headerSize > size - offset ||
            dataSize > size - offset - headerSize)
            return false;
        if (typeIsOrdinal && nameIsOrdinal && IsServedType(type))
            out.push_back({type, name, offset + headerSize, dataSize});
        offset += headerSize + dataSize;
        offset += (4 - offset % 4) % 4;
    }
    return true;
}

// A byte that starts a double-byte GBK character.
bool IsLeadByte(unsigned char lead) {
    return lead >= 0x81 && lead <= 0xFE;
}

} // namespace

HINSTANCE UserCreateModule(const void* resData, size_t size) {
    loaded.reset();
    ResDropIcons();
    if (!resData || size == 0) return nullptr;
    auto m = std::make_unique<Module>();
    m->data.assign((const uint8_t*)resData, (const uint8_t*)resData + size);
    if (!ReadEntries(m->data.data(), m->data.size(), m->entries))
        return nullptr;
    loaded = std::move(m);
    return ModuleHandle();
}

const void* UserFindResource(HINSTANCE, LPCSTR type, LPCSTR name, DWORD* size) {
    if (size) *size = 0;
    if (!loaded || !IS_INTRESOURCE(type) || !IS_INTRESOURCE(name))
        return nullptr;
    for (const Entry& e : loaded->entries)
        if (e.type == LOWORD(type) && e.name == LOWORD(name)) {
            if (size) *size = (DWORD)e.size;
            return loaded->data.data() + e.offset;
        }
    return nullptr;
}

ResReader ResFind(HINSTANCE instance, LPCSTR type, LPCSTR name) {
    DWORD size = 0;
    const void* data = UserFindResource(instance, type, name, &size);
    ResReader r(data, size);
    r.ok = data != nullptr;
    return r;
}

// Copies string `id` in code page 936, cut to size - 1 bytes between two
// characters; returns the bytes copied, 0 (and an empty buffer) when the
// string is missing or empty.
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    TRACE(TRACE_USER, "id=%u size=%d", id, size);
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    // Strings come sixteen to a block, block n + 1 holding ids 16n to 16n+15.
    ResReader r = ResFind(instance, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1));
    for (UINT i = 0; i < id % 16 && r.ok; ++i)
        r.Skip(r.Word() * 2u);
    WORD length = r.Word();
    if (!r.Has(length * 2u)) return 0;
    std::u16string text(length, u'\0');
    for (char16_t& c : text)
        c = r.Word();
    std::string ansi = WideToAnsi(text.data(), text.size());
    size_t n = 0;
    while (n < ansi.size()) {
        size_t step =
            IsLeadByte((unsigned char)ansi[n]) && n + 1 < ansi.size() ? 2 : 1;
        if (n + step > (size_t)size - 1) break;
        n += step;
    }
    std::memcpy(buffer, ansi.data(), n);
    buffer[n] = '\0';
    return (int)n;
}

// The accelerator table `name`: a handle onto its entries, which the game
// keeps but never translates with.
HACCEL WINAPI LoadAcceleratorsA(HINSTANCE instance, LPCSTR name) {
    TRACE(TRACE_USER, "name=%p", (const void*)name);
    return (HACCEL)UserFindResource(instance, RT_ACCELERATOR, name, nullptr);
}
