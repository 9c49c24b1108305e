// ddraw: what Blt refuses before it draws: a destination not inside the
// surface, and the blits the stand-in does not do.
#include <windows.h>
#include <ddraw.h>

#include "ddraw_private.h"

#include "../trace/trace.h"

HRESULT DdrawCheckBlt(const DirectDrawSurface& to, const RECT* destRect,
                      IDirectDrawSurface7* source, const RECT* sourceRect,
                      DWORD flags) {
    // With no clipper attached (the stand-in has none) DirectDraw clips
    // nothing: a destination reaching past an edge, or empty, is refused.
    if (destRect &&
        (destRect->left < 0 || destRect->top < 0 ||
         destRect->right > to.map.width || destRect->bottom > to.map.height ||
         destRect->left >= destRect->right ||
         destRect->top >= destRect->bottom))
        return DDERR_INVALIDRECT;
    const DWORD known = DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_WAIT;
    if (flags & ~known) {
        FIXME_IN(TRACE_DDRAW, "Blt", "flags=0x%08x", (unsigned)flags);
        return DDERR_UNSUPPORTED;
    }
    if (flags & DDBLT_COLORFILL) return DD_OK;
    DirectDrawSurface* from = DdrawFindSurface(source);
    if (!from) return DDERR_INVALIDPARAMS;
    if (sourceRect) {
        FIXME_IN(TRACE_DDRAW, "Blt", "src=%s: the whole source only",
                 TraceRect(sourceRect).c_str());
        return DDERR_UNSUPPORTED;
    }
    if (!(flags & DDBLT_KEYSRC) || !from->hasSourceKey) {
        FIXME_IN(TRACE_DDRAW, "Blt",
                 "flags=0x%08x: a copy without a source key", (unsigned)flags);
        return DDERR_UNSUPPORTED;
    }
    int width = destRect ? int(destRect->right - destRect->left) : to.map.width;
    int height =
        destRect ? int(destRect->bottom - destRect->top) : to.map.height;
    if (width != from->map.width || height != from->map.height) {
        FIXME_IN(TRACE_DDRAW, "Blt", "dst=%s from %dx%d: no stretching",
                 TraceRect(destRect).c_str(), from->map.width,
                 from->map.height);
        return DDERR_UNSUPPORTED;
    }
    return DD_OK;
}
