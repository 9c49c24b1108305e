// ddraw: the DirectDraw object (IDirectDraw, IDirectDraw7). The display is
// the window's 1024 by 768 picture in 32-bit XRGB, the only mode there is.
#include <windows.h>
#include <ddraw.h>

#include <new>
#include <utility>

#include "../user/window_private.h"
#include "ddraw_private.h"

#include "../kernel/fault.h"
#include "../trace/trace.h"

// Surfaces larger than this are refused, as a driver refuses what its
// memory can't hold.
enum { kMaxSurfaceSide = 16384 };

DirectDrawObject::DirectDrawObject() {
    DdrawRegister(this);
}

DirectDrawObject::~DirectDrawObject() {
    DdrawUnregister(this);
}

// Hands out IDirectDraw7 (and IUnknown).
HRESULT DirectDrawObject::QueryInterface(REFIID riid, void** object) {
    TRACE(TRACE_DDRAW, "riid=%s", TraceGuid(riid).c_str());
    *object = nullptr;
    HRESULT result = TakeFault(FAULT_DDRAW_QUERYINTERFACE);
    if (FAILED(result)) return result;
    HRESULT answer =
        AnswerQuery(riid, object, TRACE_DDRAW, "IDirectDraw",
                    {{&IID_IDirectDraw7, static_cast<IDirectDraw7*>(this)}});
    return FAILED(answer) ? answer : result;
}

// Creates the primary with its one back buffer, or an off-screen plain
// surface of the asked size with its source colour key, in the display's
// format. Other pixel formats, more back buffers and other kinds of surface
// are not stood in for.
HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC2 desc,
                                        LPDIRECTDRAWSURFACE7* surface,
                                        IUnknown* outer) {
    TRACE(TRACE_DDRAW, "flags=0x%x caps=0x%x size=%ux%u backBuffers=%u",
          (unsigned)desc->dwFlags, (unsigned)desc->ddsCaps.dwCaps,
          (unsigned)desc->dwWidth, (unsigned)desc->dwHeight,
          (unsigned)desc->dwBackBufferCount);
    *surface = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    const DWORD knownFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH |
                             DDSD_BACKBUFFERCOUNT | DDSD_CKSRCBLT;
    const DWORD knownCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP |
                            DDSCAPS_COMPLEX | DDSCAPS_OFFSCREENPLAIN;
    if ((desc->dwFlags & ~knownFlags) || (desc->ddsCaps.dwCaps & ~knownCaps)) {
        FIXME(TRACE_DDRAW, "flags=0x%x caps=0x%x", (unsigned)desc->dwFlags,
              (unsigned)desc->ddsCaps.dwCaps);
        return DDERR_INVALIDPARAMS;
    }
    if ((desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) &&
        (desc->ddsCaps.dwCaps & DDSCAPS_FLIP) && desc->dwBackBufferCount != 1) {
        FIXME(TRACE_DDRAW, "backBuffers=%u: one back buffer only",
              (unsigned)desc->dwBackBufferCount);
        return DDERR_INVALIDPARAMS;
    }
    bool isPrimary = (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
    HRESULT result = TakeFault(isPrimary ? FAULT_CREATESURFACE_PRIMARY
                                         : FAULT_CREATESURFACE_OFFSCREEN);
    if (FAILED(result)) return result;

    if (isPrimary) {
        // The primary is the screen: its size is the display mode's.
        auto frontPixels = DdrawAllocatePixels(kScreenWidth, kScreenHeight);
        auto backPixels = DdrawAllocatePixels(kScreenWidth, kScreenHeight);
        if (!frontPixels || !backPixels) return DDERR_OUTOFMEMORY;
        auto* front = new DirectDrawSurface(this, std::move(frontPixels),
                                            kScreenWidth, kScreenHeight);
        front->backBuffer = new DirectDrawSurface(this, std::move(backPixels),
                                                  kScreenWidth, kScreenHeight);
        *surface = front;
        return result;
    }

    if (desc->dwWidth == 0 || desc->dwHeight == 0) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth > kMaxSurfaceSide) return DDERR_TOOBIGWIDTH;
    if (desc->dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGHEIGHT;
    int width = (int)desc->dwWidth;
    int height = (int)desc->dwHeight;
    auto pixels = DdrawAllocatePixels(width, height);
    if (!pixels) return DDERR_OUTOFMEMORY;
    auto* created =
        new DirectDrawSurface(this, std::move(pixels), width, height);
    if (desc->dwFlags & DDSD_CKSRCBLT) {
        created->hasSourceKey = true;
        created->sourceKey = desc->ddckCKSrcBlt;
    }
    *surface = created;
    return result;
}

// Remembers the window that frames go to; the display is the game's alone,
// in exclusive full-screen mode (a windowed level is not stood in for).
HRESULT DirectDrawObject::SetCooperativeLevel(HWND newWindow, DWORD flags) {
    TRACE(TRACE_DDRAW, "window=%p flags=0x%x", (void*)newWindow,
          (unsigned)flags);
    if (!(flags & DDSCL_FULLSCREEN))
        FIXME(TRACE_DDRAW, "flags=0x%x: shown full-screen all the same",
              (unsigned)flags);
    HRESULT result = TakeFault(FAULT_DDRAW_SETCOOPERATIVELEVEL);
    if (FAILED(result)) return result;
    window = newWindow;
    return result;
}

// Sets the display mode: 1024 by 768 at 32 bits, at the driver's default
// refresh, is the one mode there is, and the one the game asks for; any
// other is refused (DDERR_INVALIDMODE), as a driver refuses a mode it lacks.
HRESULT DirectDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bpp,
                                         DWORD refreshRate, DWORD flags) {
    TRACE(TRACE_DDRAW, "%ux%ux%u refresh=%u flags=0x%x", (unsigned)width,
          (unsigned)height, (unsigned)bpp, (unsigned)refreshRate,
          (unsigned)flags);
    HRESULT result = TakeFault(FAULT_SETDISPLAYMODE);
    if (FAILED(result)) return result;
    if (width != kScreenWidth || height != kScreenHeight || bpp != 32 ||
        refreshRate != 0 || flags != 0) {
        FIXME(TRACE_DDRAW, "%ux%ux%u refresh=%u flags=0x%x: only 1024x768x32",
              (unsigned)width, (unsigned)height, (unsigned)bpp,
              (unsigned)refreshRate, (unsigned)flags);
        return DDERR_INVALIDMODE;
    }
    return result;
}
