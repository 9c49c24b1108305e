// Inside the DirectDraw stand-in: the DirectDraw object, its surfaces, and
// the module-wide records that the test seams read and steer.
#ifndef QEL_PLATFORM_DDRAW_DDRAW_PRIVATE_H
#define QEL_PLATFORM_DDRAW_DDRAW_PRIVATE_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "../com/com_object.h"
#include "../gdi/dc.h"
#include "../user/damage.h"

struct DirectDrawSurface;

// Frees pixel memory from DdrawAllocatePixels: a mapping of its own for a
// large buffer, the heap's otherwise.
struct DdrawPixelsFree {
    size_t mappedBytes = 0;
    void operator()(uint32_t* pixels) const;
};
typedef std::unique_ptr<uint32_t[], DdrawPixelsFree> DdrawPixels;

// One DirectDraw object, reachable as IDirectDraw and as IDirectDraw7; both
// interfaces share one reference count.
struct DirectDrawObject final : ComObject<IDirectDraw, IDirectDraw7> {
    DirectDrawObject();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid,
                                             void** object) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc,
                                            LPDIRECTDRAWSURFACE7* surface,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window,
                                                  DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height,
                                             DWORD bpp, DWORD refreshRate,
                                             DWORD flags) override;

    HWND window = nullptr; // the window flipped frames go to

  private:
    ~DirectDrawObject();
};

// One surface: 32-bit XRGB pixels in memory. A flipping primary owns a
// reference to its back buffer; every surface holds one on its DirectDraw
// object, so either may be released first.
struct DirectDrawSurface final : ComObject<IDirectDrawSurface7> {
    DirectDrawSurface(DirectDrawObject* owner, DdrawPixels pixels, int width,
                      int height);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid,
                                             void** object) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source,
                                  LPRECT sourceRect, DWORD flags,
                                  LPDDBLTFX fx) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7 overrideSurface,
                                   DWORD flags) override;
    HRESULT STDMETHODCALLTYPE
    GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;

    // Trades pixel buffers with `other` (of the same size), as a flip does.
    void SwapPixels(DirectDrawSurface* other);

    DirectDrawObject* owner;
    DdrawPixels pixels;
    PixelMap map;
    // A flipping chain drawn straight into the window's screen memory
    // (UserLendScreen): the primary's and its back buffer's `map` both point
    // there, and their `pixels` wait unused.
    bool lent = false;
    void BorrowScreen();
    bool hasSourceKey = false;
    DDCOLORKEY sourceKey = {0, 0};
    // Never reused, and moved on by every change to the pixels: a copy from
    // this surface is known for the same when both are.
    uint64_t serial;
    uint64_t version = 0;
    // A back buffer notes what is drawn on it (its fills, keyed copies and
    // the text of its DC) since its last whole fill: the flip hands that to
    // the window with the frame, so only the part drawn otherwise than the
    // frame before is looked at and sent.
    UserDrawing drawing;
    void Note(const UserDrawOp& op);
    DirectDrawSurface* backBuffer = nullptr; // flipping primary only, owned
    HDC dc = nullptr;                        // handed out by GetDC

  private:
    ~DirectDrawSurface();
};

// A pixel buffer of width x height, zeroed; null when it can't be had.
DdrawPixels DdrawAllocatePixels(int width, int height);

// The registry of live objects, so that a pointer handed in can be checked.
void DdrawRegister(DirectDrawObject* object);
void DdrawUnregister(DirectDrawObject* object);
void DdrawRegister(DirectDrawSurface* surface);
void DdrawUnregister(DirectDrawSurface* surface);
// The surface behind `iface` if it is one of ours and alive, else null.
DirectDrawSurface* DdrawFindSurface(IDirectDrawSurface7* iface);
int DdrawLiveObjects();
int DdrawLiveSurfaces();

// What Blt refuses before it draws (DD_OK when nothing is): a destination
// not inside `to`, and the blits not stood in for.
HRESULT DdrawCheckBlt(const DirectDrawSurface& to, const RECT* destRect,
                      IDirectDrawSurface7* source, const RECT* sourceRect,
                      DWORD flags);

// Flips that presented a frame.
extern int ddrawFlipCount;

#endif
