// ddraw: the DirectDraw object (IDirectDraw, IDirectDraw7). The display is
// the window's 1024 by 768 picture in 32-bit XRGB, the only mode there is.
#include <windows.h>
#include <ddraw.h>

#include <new>
#include <utility>

#include "../user/window_private.h"
#include "ddraw_private.h"

#include "../kernel/fault.h"

// Surfaces larger than this are refused, as a driver refuses what its
// memory can't hold.
enum { kMaxSurfaceSide = 16384 };

DirectDrawObject::DirectDrawObject() {
    DdrawRegister(this);
}

DirectDrawObject::~DirectDrawObject() {
    DdrawUnregister(this);
}

// Hands out IDirectDraw7.
HRESULT DirectDrawObject::QueryInterface(REFIID riid, void** object) {
    *object = nullptr;
    HRESULT result = TakeFault(FAULT_DDRAW_QUERYINTERFACE);
    if (FAILED(result)) return result;
    if (riid != IID_IDirectDraw7) return E_NOINTERFACE;
    *object = static_cast<IDirectDraw7*>(this);
    AddRef();
    return result;
}

// Creates the primary with its one back buffer, or an off-screen plain
// surface of the asked size with its source colour key.
HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC2 desc,
                                        LPDIRECTDRAWSURFACE7* surface,
                                        IUnknown*) {
    *surface = nullptr;
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

// Remembers the window that frames go to; the display is the game's alone
// whatever the flags say.
HRESULT DirectDrawObject::SetCooperativeLevel(HWND newWindow, DWORD) {
    HRESULT result = TakeFault(FAULT_DDRAW_SETCOOPERATIVELEVEL);
    if (FAILED(result)) return result;
    window = newWindow;
    return result;
}

// Sets the display mode: 1024 by 768 at 32 bits is the one mode there is,
// and the one the game asks for.
HRESULT DirectDrawObject::SetDisplayMode(DWORD, DWORD, DWORD, DWORD, DWORD) {
    return TakeFault(FAULT_SETDISPLAYMODE);
}
