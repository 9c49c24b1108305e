// Device contexts: onto pixel memory (surfaces, windows) and memory DCs
// that draw onto their selected bitmap.

#include "gdi_private.h"

namespace {

HDC NewDC(GdiDC* dc) {
    dc->brush = GdiDefaultBrush();
    GdiSelect(dc->brush);
    return GdiRegisterDC(dc);
}

void FreeDC(HDC handle, GdiDC* dc) {
    GdiUnregisterDC(handle);
    GdiDeselect(dc->font);
    GdiDeselect(dc->bitmap);
    GdiDeselect(dc->brush);
    delete dc;
}

// Swaps the DC's selected object in `slot` for `object`; returns the one it
// replaces. A null slot stands for the stock object `fallback`.
template <typename T> HGDIOBJ Swap(T*& slot, T* object, T* fallback) {
    T* previous = slot ? slot : fallback;
    auto handle = reinterpret_cast<HGDIOBJ>(static_cast<GdiObject*>(previous));
    GdiSelect(object);
    GdiDeselect(slot); // may free an object deleted while selected
    slot = object;
    return handle;
}

} // namespace

// A DC drawing onto `target`; it starts with the stock font (opened on first
// use), black text on an opaque white background.
HDC GdiCreatePixelDC(const PixelMap& target) {
    auto* dc = new GdiDC;
    dc->target = target;
    return NewDC(dc);
}

void GdiDeletePixelDC(HDC handle) {
    GdiDC* dc = GdiLookupDC(handle);
    if (dc && !dc->memory) FreeDC(handle, dc);
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

// A memory DC (with the stock 1 by 1 bitmap selected); `reference` may be
// null, meaning the screen.
HDC WINAPI CreateCompatibleDC(HDC reference) {
    if (reference && !GdiLookupDC(reference)) return nullptr;
    auto* dc = new GdiDC;
    dc->memory = true;
    dc->bitmap = GdiDefaultBitmap();
    GdiSelect(dc->bitmap);
    return NewDC(dc);
}

// Deletes a memory DC, letting go of the objects selected into it.
BOOL WINAPI DeleteDC(HDC handle) {
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc || !dc->memory) return FALSE;
    FreeDC(handle, dc);
    return TRUE;
}

// Selects a font, brush or (into a memory DC) bitmap; returns the object of
// that kind it replaces, or null, leaving the DC as it was, when the handle
// is not a live object or the bitmap is in another DC.
HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ objectHandle) {
    GdiDC* dc = GdiLookupDC(handle);
    GdiObject* object = GdiLookupObject(objectHandle);
    if (!dc || !object) return nullptr;
    switch (object->kind) {
    case GdiKind::Font:
        return Swap(dc->font, static_cast<GdiFont*>(object),
                    dc->font ? nullptr : GdiDefaultFont());
    case GdiKind::Brush:
        return Swap(dc->brush, static_cast<GdiBrush*>(object),
                    static_cast<GdiBrush*>(nullptr));
    case GdiKind::Bitmap: {
        auto* bitmap = static_cast<GdiBitmap*>(object);
        if (!dc->memory) return nullptr;
        if (!bitmap->stock && bitmap->selectCount > 0 && dc->bitmap != bitmap)
            return nullptr;
        return Swap(dc->bitmap, bitmap, static_cast<GdiBitmap*>(nullptr));
    }
    }
    return nullptr;
}

// Sets TRANSPARENT or OPAQUE; returns the previous mode, 0 on failure.
int WINAPI SetBkMode(HDC handle, int mode) {
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

// Sets the text colour; returns the previous one, CLR_INVALID on failure.
COLORREF WINAPI SetTextColor(HDC handle, COLORREF color) {
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0x00FFFFFF;
    return previous;
}

// Sets the colour OPAQUE text cells are filled with; returns the previous.
COLORREF WINAPI SetBkColor(HDC handle, COLORREF color) {
    GdiDC* dc = GdiLookupDC(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->bkColor;
    dc->bkColor = color & 0x00FFFFFF;
    return previous;
}
