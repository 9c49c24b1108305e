// Device contexts: onto pixel memory (surfaces, windows) and memory DCs
// that draw onto their selected bitmap.

#include "gdi_private.h"

#include "../trace/trace.h"

namespace {

void FreeDC(HDC handle, GdiDC* dc) {
    GdiUnregisterDC(handle);
    if (dc->font) --dc->font->selectCount;
    if (dc->bitmap) --dc->bitmap->selectCount;
    delete dc;
}

// Puts `object` in the DC's `slot`; returns the one it replaces, `stock`
// when the slot held none.
template <typename T> HGDIOBJ Swap(T*& slot, T* object, GdiObject* stock) {
    GdiObject* previous = slot ? slot : stock;
    if (slot) --slot->selectCount;
    ++object->selectCount;
    slot = object;
    return reinterpret_cast<HGDIOBJ>(previous);
}

} // namespace

// A DC drawing onto `target`; it starts with the stock font (opened on first
// use) and black text.
HDC GdiCreatePixelDC(const PixelMap& target) {
    auto* dc = new GdiDC;
    dc->target = target;
    return GdiRegisterDC(dc);
}

void GdiDeletePixelDC(HDC handle) {
    GdiDC* dc = GdiLookupDC(handle);
    if (dc && !dc->memory) FreeDC(handle, dc);
}

void GdiSetPixelDCNoter(HDC handle, GdiDrawNoter noter, void* context) {
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc || dc->memory) return;
    dc->noter = noter;
    dc->noteContext = context;
}

void GdiNoteOther(const GdiDC* dc, const PixelMap& map) {
    if (!dc->noter) return;
    GdiDrawNote note;
    note.box = {0, 0, map.width, map.height};
    dc->noter(dc->noteContext, note);
}

void GdiRetargetPixelDC(HDC handle, const PixelMap& target) {
    GdiDC* dc = GdiLookupDC(handle);
    if (dc && !dc->memory) dc->target = target;
}

const PixelMap* GdiGetPixelMap(HDC handle) {
    GdiDC* dc = GdiLookupDC(handle);
    return dc ? GdiTarget(dc) : nullptr;
}

const PixelMap* GdiTarget(const GdiDC* dc) {
    if (!dc->memory) return &dc->target;
    return dc->bitmap ? &dc->bitmap->map : nullptr;
}

// A memory DC, drawing nowhere until a bitmap is selected into it; every DC
// is 32-bit XRGB, so the reference DC is not looked at.
HDC WINAPI CreateCompatibleDC(HDC like) {
    TRACE(TRACE_GDI, "dc=%p", (void*)like);
    auto* dc = new GdiDC;
    dc->memory = true;
    return GdiRegisterDC(dc);
}

// Deletes a memory DC, letting go of the objects selected into it.
BOOL WINAPI DeleteDC(HDC handle) {
    TRACE(TRACE_GDI, "dc=%p", (void*)handle);
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc) return FALSE;
    FreeDC(handle, dc);
    return TRUE;
}

// Selects a font, or a bitmap into a memory DC; returns the object of that
// kind it replaces, or null when the handle is not a live one of those.
HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ objectHandle) {
    TRACE(TRACE_GDI, "dc=%p object=%p", (void*)handle, (void*)objectHandle);
    GdiDC* dc = GdiLookupDC(handle);
    GdiObject* object = GdiLookupObject(objectHandle);
    if (!dc || !object) return nullptr;
    if (object->kind == GdiKind::Font)
        return Swap(dc->font, static_cast<GdiFont*>(object), GdiDefaultFont());
    if (object->kind == GdiKind::Bitmap && dc->memory)
        return Swap(dc->bitmap, static_cast<GdiBitmap*>(object), nullptr);
    return nullptr;
}

// Sets TRANSPARENT or OPAQUE; returns the previous mode, 0 for any other.
int WINAPI SetBkMode(HDC handle, int mode) {
    TRACE(TRACE_GDI, "dc=%p mode=%d", (void*)handle, mode);
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

// Sets the text colour; returns the previous one, CLR_INVALID on failure.
COLORREF WINAPI SetTextColor(HDC handle, COLORREF color) {
    TRACE(TRACE_GDI, "dc=%p color=0x%06x", (void*)handle, (unsigned)color);
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0x00FFFFFF;
    return previous;
}
