// ddraw: DirectDrawCreate and what the module keeps across its objects: the
// registry of live objects and the results tests inject.
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "../user/window_internal.h"
#include "ddraw_private.h"

static std::vector<DirectDrawObject*> liveObjects;
static std::vector<DirectDrawSurface*> liveSurfaces;
static std::vector<std::pair<std::string, HRESULT>> injected;
int ddrawFlipCount = 0;

// Creates the DirectDraw object as IDirectDraw; fails with no display.
HRESULT WINAPI DirectDrawCreate(GUID*, LPDIRECTDRAW* directDraw,
                                IUnknown* outer) {
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    HRESULT result = DD_OK;
    if (DdrawTakeInjectedResult("DirectDrawCreate", &result) && FAILED(result))
        return result;
    if (!UserHasDisplay()) return DDERR_NODIRECTDRAWHW;
    DirectDrawObject* object = new (std::nothrow) DirectDrawObject();
    if (!object) return DDERR_OUTOFMEMORY;
    *directDraw = object;
    return result;
}

std::unique_ptr<uint32_t[]> DdrawAllocatePixels(int width, int height) {
    size_t count = (size_t)width * (size_t)height;
    return std::unique_ptr<uint32_t[]>(new (std::nothrow) uint32_t[count]());
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

bool DdrawTakeInjectedResult(const char* call, HRESULT* result) {
    for (auto it = injected.begin(); it != injected.end(); ++it) {
        if (it->first == call) {
            *result = it->second;
            injected.erase(it);
            return true;
        }
    }
    return false;
}

void DdrawInjectResult(const char* call, HRESULT result) {
    injected.emplace_back(call, result);
}

void DdrawClearInjectedResults() {
    injected.clear();
}
