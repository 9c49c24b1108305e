// ddraw: the DirectDraw object (IDirectDraw, IDirectDraw7). The display is
// the window's 1024 by 768 picture in 32-bit XRGB, the only mode there is.
#include <windows.h>
#include <ddraw.h>

#include <new>
#include <utility>

#include "../user/window_internal.h"
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

// Hands out IDirectDraw (also for IUnknown) or IDirectDraw7.
HRESULT DirectDrawObject::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    HRESULT result = TakeFault(FAULT_DDRAW_QUERYINTERFACE);
    if (FAILED(result)) return result;
    if (riid == IID_IUnknown || riid == IID_IDirectDraw)
        *object = static_cast<IDirectDraw*>(this);
    else if (riid == IID_IDirectDraw7)
        *object = static_cast<IDirectDraw7*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return result;
}

// Creates the primary with its back buffer, or an off-screen plain surface.
HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC2 desc,
                                        LPDIRECTDRAWSURFACE7* surface,
                                        IUnknown* outer) {
    if (!surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    bool isPrimary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;

    HRESULT result = DD_OK;
    result = TakeFault(isPrimary ? FAULT_CREATESURFACE_PRIMARY
                                 : FAULT_CREATESURFACE_OFFSCREEN);
    if (FAILED(result)) return result;

    if (isPrimary) {
        if (!cooperativeLevel) return DDERR_NOCOOPERATIVELEVELSET;
        if (primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        // The primary is the screen: its size is the display mode's.
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        bool flipping = (caps & DDSCAPS_FLIP) != 0;
        if (flipping) {
            if (!(cooperativeLevel & DDSCL_EXCLUSIVE))
                return DDERR_NOEXCLUSIVEMODE;
            if (!(caps & DDSCAPS_COMPLEX)) return DDERR_INVALIDCAPS;
            if (!(desc->dwFlags & DDSD_BACKBUFFERCOUNT) ||
                desc->dwBackBufferCount == 0)
                return DDERR_INVALIDPARAMS;
            // Chains of more than one back buffer are not stood in for.
            if (desc->dwBackBufferCount > 1) return DDERR_UNSUPPORTED;
        }
        auto frontPixels = DdrawAllocatePixels(kScreenWidth, kScreenHeight);
        auto backPixels = flipping
                              ? DdrawAllocatePixels(kScreenWidth, kScreenHeight)
                              : nullptr;
        if (!frontPixels || (flipping && !backPixels)) return DDERR_OUTOFMEMORY;
        DWORD chainCaps = flipping ? DDSCAPS_FLIP | DDSCAPS_COMPLEX : 0;
        auto* front = new (std::nothrow) DirectDrawSurface(
            this,
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY |
                chainCaps,
            std::move(frontPixels), kScreenWidth, kScreenHeight);
        if (!front) return DDERR_OUTOFMEMORY;
        if (flipping) {
            front->backBuffer = new (std::nothrow) DirectDrawSurface(
                this, DDSCAPS_BACKBUFFER | DDSCAPS_VIDEOMEMORY | chainCaps,
                std::move(backPixels), kScreenWidth, kScreenHeight);
            if (!front->backBuffer) {
                front->Release();
                return DDERR_OUTOFMEMORY;
            }
        }
        primary = front;
        *surface = front;
        return result;
    }

    if (caps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER))
        return DDERR_INVALIDCAPS;
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) !=
            (DDSD_WIDTH | DDSD_HEIGHT) ||
        desc->dwWidth == 0 || desc->dwHeight == 0)
        return DDERR_INVALIDPARAMS;
    if (desc->dwWidth > kMaxSurfaceSide) return DDERR_TOOBIGWIDTH;
    if (desc->dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGHEIGHT;
    int width = (int)desc->dwWidth;
    int height = (int)desc->dwHeight;
    auto pixels = DdrawAllocatePixels(width, height);
    if (!pixels) return DDERR_OUTOFMEMORY;
    if (!(caps & DDSCAPS_SYSTEMMEMORY)) caps |= DDSCAPS_VIDEOMEMORY;
    auto* created = new (std::nothrow) DirectDrawSurface(
        this, caps | DDSCAPS_OFFSCREENPLAIN, std::move(pixels), width, height);
    if (!created) return DDERR_OUTOFMEMORY;
    if (desc->dwFlags & DDSD_CKSRCBLT) {
        created->hasSourceKey = true;
        created->sourceKey = desc->ddckCKSrcBlt;
    }
    *surface = created;
    return result;
}

// Sets the display's use and remembers the window that frames go to.
HRESULT DirectDrawObject::SetCooperativeLevel(HWND newWindow, DWORD flags) {
    HRESULT result = DD_OK;
    result = TakeFault(FAULT_DDRAW_SETCOOPERATIVELEVEL);
    if (FAILED(result)) return result;
    // Exclusive and full-screen go together, and need a window.
    bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    bool normal = (flags & DDSCL_NORMAL) != 0;
    if (exclusive != fullScreen || normal == fullScreen)
        return DDERR_INVALIDPARAMS;
    if (exclusive && (!newWindow || !IsWindow(newWindow)))
        return DDERR_INVALIDPARAMS;
    window = newWindow;
    cooperativeLevel = flags;
    return result;
}

// Sets the display mode: 1024 by 768 at 32 bits, the one mode there is.
HRESULT DirectDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bpp,
                                         DWORD, DWORD) {
    HRESULT result = DD_OK;
    result = TakeFault(FAULT_SETDISPLAYMODE);
    if (FAILED(result)) return result;
    // Any other mode is refused and changes nothing.
    if (width != (DWORD)kScreenWidth || height != (DWORD)kScreenHeight ||
        bpp != 32)
        return DDERR_INVALIDMODE;
    return result;
}
