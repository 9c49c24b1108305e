// Test seams of the GDI stand-in.

#include "seams.h"

#include "../gdi/gdi_private.h"

std::string TestGdiFontFile(HFONT handle) {
    GdiObject* object = GdiLookupObject(handle);
    if (!object || object->kind != GdiKind::Font) return "";
    return static_cast<GdiFont*>(object)->file;
}

int TestGdiLiveObjects() {
    return GdiLiveObjectCount();
}

int TestGdiLiveDCs() {
    return GdiLiveDCCount();
}
