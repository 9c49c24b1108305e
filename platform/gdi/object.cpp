// GDI objects: the handle registry and DeleteObject.

#include "gdi_private.h"

#include "../trace/trace.h"

#include <unordered_set>

namespace {

std::unordered_set<GdiObject*>& Objects() {
    static std::unordered_set<GdiObject*> objects;
    return objects;
}

std::unordered_set<GdiDC*>& DCs() {
    static std::unordered_set<GdiDC*> dcs;
    return dcs;
}

} // namespace

GdiObject::GdiObject(GdiKind k) : kind(k) {
    static uint64_t made;
    serial = ++made;
}

GdiObject* GdiLookupObject(HGDIOBJ handle) {
    auto* object = reinterpret_cast<GdiObject*>(handle);
    return Objects().count(object) ? object : nullptr;
}

GdiDC* GdiLookupDC(HDC handle) {
    auto* dc = reinterpret_cast<GdiDC*>(handle);
    return DCs().count(dc) ? dc : nullptr;
}

HGDIOBJ GdiRegisterObject(GdiObject* object) {
    Objects().insert(object);
    return reinterpret_cast<HGDIOBJ>(object);
}

HDC GdiRegisterDC(GdiDC* dc) {
    DCs().insert(dc);
    return reinterpret_cast<HDC>(dc);
}

void GdiUnregisterDC(HDC handle) {
    DCs().erase(reinterpret_cast<GdiDC*>(handle));
}

int GdiLiveObjectCount() {
    int count = 0;
    for (GdiObject* object : Objects())
        if (!object->stock) ++count;
    return count;
}

int GdiLiveDCCount() {
    return (int)DCs().size();
}

// Deletes a font, brush or bitmap; fails while a DC has it selected. Stock
// objects stay.
BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    TRACE(TRACE_GDI, "object=%p", (void*)handle);
    GdiObject* object = GdiLookupObject(handle);
    if (!object || object->selectCount > 0) return FALSE;
    if (object->stock) return TRUE;
    Objects().erase(object);
    delete object;
    return TRUE;
}
