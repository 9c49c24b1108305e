// A stand-in DirectDraw object and surface for display tests: the surface
// hands out GDI device contexts over its own pixels and counts them.
#ifndef QEL_TESTS_UNIT_FAKE_SURFACE_H
#define QEL_TESTS_UNIT_FAKE_SURFACE_H

#include <windows.h>
#include <ddraw.h>

#include "gdi/dc.h"

#include <memory>
#include <vector>

struct FakeSurface final : IDirectDrawSurface7 {
    FakeSurface(int width, int height, uint32_t fill)
        : pixels((size_t)width * height, fill) {
        map.pixels = pixels.data();
        map.width = width;
        map.height = height;
        map.pitch = width;
    }
    uint32_t At(int x, int y) const {
        return pixels[(size_t)y * map.width + x];
    }

    STDMETHOD(QueryInterface)(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(Blt)
    (LPRECT, LPDIRECTDRAWSURFACE7, LPRECT, DWORD, LPDDBLTFX) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE7, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetAttachedSurface)(LPDDSCAPS2, LPDIRECTDRAWSURFACE7*) override {
        return E_NOTIMPL;
    }
    // Like a real surface: one DC at a time; `failGetDC` plays a lost one.
    STDMETHOD(GetDC)(HDC* dc) override {
        ++getCount;
        if (failGetDC || current) return DDERR_GENERIC;
        current = GdiCreatePixelDC(map);
        *dc = current;
        return DD_OK;
    }
    // Notes the cell height of the font still selected, then frees the DC.
    STDMETHOD(ReleaseDC)(HDC dc) override {
        ++releaseCount;
        if (!current || dc != current) return DDERR_GENERIC;
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, "X", 1, &size);
        cellAtRelease = size.cy;
        GdiDeletePixelDC(dc);
        current = nullptr;
        ++pairedReleases;
        return DD_OK;
    }

    std::vector<uint32_t> pixels;
    PixelMap map;
    HDC current = nullptr;
    bool failGetDC = false;
    int getCount = 0;
    int releaseCount = 0;
    int pairedReleases = 0;
    LONG cellAtRelease = 0;
};

// Creates off-screen surfaces (refusing a zero size, as DirectDraw does),
// filled with `fill`, and keeps the description it was given.
struct FakeDirectDraw : IDirectDraw7 {
    STDMETHOD(QueryInterface)(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateSurface)
    (LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, IUnknown*) override {
        ++createCount;
        lastDesc = *desc;
        if (desc->dwWidth == 0 || desc->dwHeight == 0)
            return DDERR_INVALIDPARAMS;
        made = std::make_unique<FakeSurface>((int)desc->dwWidth,
                                             (int)desc->dwHeight, fill);
        *surface = made.get();
        return DD_OK;
    }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return DD_OK; }
    STDMETHOD(SetDisplayMode)(DWORD, DWORD, DWORD, DWORD, DWORD) override {
        return DD_OK;
    }

    uint32_t fill = 0x00ABCDEF;
    int createCount = 0;
    DDSURFACEDESC2 lastDesc = {};
    std::unique_ptr<FakeSurface> made;
};

#endif
