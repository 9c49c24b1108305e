// ddraw: DirectDrawCreate and what the module keeps across its objects: the
// registry of live objects and the results tests inject.
#include <windows.h>
#include <ddraw.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../user/window_private.h"
#include "ddraw_private.h"

#include "../kernel/fault.h"
#include "../trace/trace.h"

static std::vector<DirectDrawObject*> liveObjects;
static std::vector<DirectDrawSurface*> liveSurfaces;
int ddrawFlipCount = 0;

// Creates the DirectDraw object of the active display (a null driver) as
// IDirectDraw; fails with no display. It cannot be aggregated.
HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* directDraw,
                                IUnknown* outer) {
    TRACE(TRACE_DDRAW, "driver=%s outer=%p",
          driver ? TraceGuid(*driver).c_str() : "(nil)", (void*)outer);
    *directDraw = nullptr;
    if (driver) {
        FIXME(TRACE_DDRAW, "driver=%s: only the active display",
              TraceGuid(*driver).c_str());
        return DDERR_INVALIDPARAMS;
    }
    if (outer) return CLASS_E_NOAGGREGATION;
    HRESULT result = TakeFault(FAULT_DIRECTDRAWCREATE);
    if (FAILED(result)) return result;
    if (!UserHasDisplay()) return DDERR_NODIRECTDRAWHW;
    *directDraw = new DirectDrawObject();
    return result;
}

// A frame's rows lie one 4 KB page apart, so text drawn all over a 3 MB
// frame would need a page-table walk for nearly every row of every glyph.
// Large buffers start on a 2 MB boundary and ask for whole 2 MB pages, in a
// mapping of exactly their own size (so no page is taken beyond it).
static const size_t kHugePage = 2u << 20;

DdrawPixels DdrawAllocatePixels(int width, int height) {
    size_t bytes = (size_t)width * (size_t)height * sizeof(uint32_t);
    if (bytes < kHugePage) {
        void* memory = std::calloc(bytes ? bytes : 1, 1);
        return DdrawPixels((uint32_t*)memory, DdrawPixelsFree{0});
    }
    size_t length = (bytes + 4095) / 4096 * 4096;
    void* area = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return DdrawPixels(nullptr, DdrawPixelsFree{0});
    uintptr_t start = (uintptr_t)area;
    uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t)(kHugePage - 1);
    if (aligned > start) munmap(area, aligned - start);
    size_t tail = start + length + kHugePage - (aligned + length);
    if (tail > 0) munmap((void*)(aligned + length), tail);
    madvise((void*)aligned, length, MADV_HUGEPAGE);
    // Fresh anonymous pages are zero already.
    return DdrawPixels((uint32_t*)aligned, DdrawPixelsFree{length});
}

void DdrawPixelsFree::operator()(uint32_t* pixels) const {
    if (mappedBytes)
        munmap(pixels, mappedBytes);
    else
        std::free(pixels);
}

void DdrawRegister(DirectDrawObject* object) {
    liveObjects.push_back(object);
}

void DdrawUnregister(DirectDrawObject* object) {
    liveObjects.erase(
        std::remove(liveObjects.begin(), liveObjects.end(), object),
        liveObjects.end());
}

void DdrawRegister(DirectDrawSurface* surface) {
    liveSurfaces.push_back(surface);
}

void DdrawUnregister(DirectDrawSurface* surface) {
    liveSurfaces.erase(
        std::remove(liveSurfaces.begin(), liveSurfaces.end(), surface),
        liveSurfaces.end());
}

DirectDrawSurface* DdrawFindSurface(IDirectDrawSurface7* iface) {
    if (!iface) return nullptr;
    // Compared as interface pointers: a foreign pointer is never cast down.
    for (DirectDrawSurface* surface : liveSurfaces)
        if (static_cast<IDirectDrawSurface7*>(surface) == iface) return surface;
    return nullptr;
}

int DdrawLiveObjects() {
    return (int)liveObjects.size();
}
int DdrawLiveSurfaces() {
    return (int)liveSurfaces.size();
}
