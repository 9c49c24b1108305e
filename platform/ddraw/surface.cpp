// ddraw: surfaces (IDirectDrawSurface7) in memory: colour fills and
// colour-keyed copies, GDI device contexts, and the flip that shows a frame.
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

#include "../user/presenter.h"
#include "ddraw_private.h"

#include "../kernel/fault.h"
#include "../trace/trace.h"

DirectDrawSurface::DirectDrawSurface(DirectDrawObject* object,
                                     DdrawPixels memory, int width, int height)
    : owner(object), pixels(std::move(memory)) {
    static uint64_t made;
    serial = ++made;
    map.pixels = pixels.get();
    map.width = width;
    map.height = height;
    map.pitch = width;
    owner->AddRef();
    DdrawRegister(this);
}

DirectDrawSurface::~DirectDrawSurface() {
    if (dc) GdiDeletePixelDC(dc);
    // The frame moves out of the window's memory, to be forgotten below.
    if (lent) UserTakeBackLoan(owner->window);
    // A window may still show these pixels as its last frame.
    UserForgetFrame(map.pixels);
    if (backBuffer) backBuffer->Release();
    DdrawUnregister(this);
    owner->Release();
}

// The window needs its screen memory back: the frame moves into the
// chain's own buffers, and drawing goes on there.
static uint32_t* TakeBackScreen(void* borrower) {
    auto* primary = static_cast<DirectDrawSurface*>(borrower);
    const uint32_t* screen = primary->map.pixels;
    for (DirectDrawSurface* surface : {primary, primary->backBuffer}) {
        PixelMap& map = surface->map;
        std::memcpy(surface->pixels.get(), screen,
                    sizeof(uint32_t) * (size_t)map.pitch * (size_t)map.height);
        map.pixels = surface->pixels.get();
        if (surface->dc) GdiRetargetPixelDC(surface->dc, map);
    }
    // Both hold the back buffer's pixels now, drawn as it was.
    primary->drawing = primary->backBuffer->drawing;
    primary->lent = false;
    return primary->map.pixels;
}

// The next frames are drawn into the window's screen memory when the window
// lends it, as a real flipping chain draws into video memory: presenting
// them then copies nothing.
void DirectDrawSurface::BorrowScreen() {
    int pitch = 0;
    uint32_t* screen =
        UserLendScreen(owner->window, &pitch, TakeBackScreen, this);
    if (!screen) return;
    if (pitch != map.pitch || pitch != backBuffer->map.pitch) {
        UserEndLoan(owner->window, this);
        return;
    }
    map.pixels = screen;
    backBuffer->map.pixels = screen;
    // The window's memory shows the frame just flipped.
    backBuffer->drawing = drawing;
    lent = true;
}

void DirectDrawSurface::SwapPixels(DirectDrawSurface* other) {
    std::swap(pixels, other->pixels);
    std::swap(drawing, other->drawing);
    std::swap(version, other->version);
    map.pixels = pixels.get();
    other->map.pixels = other->pixels.get();
}

void DirectDrawSurface::Note(const UserDrawOp& op) {
    ++version;
    if (!drawing.whole) return; // what lies under it is not known anyway
    // A drawing that never ends in a flip (a surface drawn on over and over
    // without a whole fill) stops being kept.
    if (drawing.ops.size() >= 4096) {
        drawing.whole = false;
        drawing.ops.clear();
        return;
    }
    drawing.ops.push_back(op);
}

// What the surface's DC drew, noted as the surface's own drawing calls are.
static void NoteDrawn(void* context, const GdiDrawNote& note) {
    UserDrawOp op;
    static uint64_t others;
    op.box = {note.box.left, note.box.top, note.box.right - note.box.left,
              note.box.bottom - note.box.top};
    if (note.kind == GdiDrawNote::Text) {
        op.kind = UserDrawOp::Text;
        op.source = note.font;
        op.value = note.color;
        op.x = note.x;
        op.y = note.y;
        op.text.assign(note.text, (size_t)std::max(note.length, 0));
    } else {
        op.source = ++others;
    }
    static_cast<DirectDrawSurface*>(context)->Note(op);
}

// Hands out IUnknown: the game asks a surface for no other interface.
HRESULT DirectDrawSurface::QueryInterface(REFIID riid, void** object) {
    TRACE(TRACE_DDRAW, "riid=%s", TraceGuid(riid).c_str());
    return AnswerQuery(riid, object, TRACE_DDRAW, "IDirectDrawSurface7", {});
}

// Four pixels at a time: GCC's vector extension, which compiles to the
// target's vector stores (the plain loop stays scalar at -O2). Aligned to a
// pixel only, so any row offset will do.
typedef uint32_t FourPixels __attribute__((vector_size(16), aligned(4)));

// Fills `count` pixels of each of `rows` rows. wchar_t is 32 bits here, and
// the C library's wmemset fills with the processor's string stores, more
// than twice as fast on a frame as a loop of vector stores.
static_assert(sizeof(wchar_t) == sizeof(uint32_t), "wmemset fills pixels");
static void FillRows(uint32_t* first, int pitch, int count, int rows,
                     uint32_t value) {
    if (count == pitch) { // whole rows: one block
        std::wmemset((wchar_t*)first, (wchar_t)value, (size_t)count * rows);
        return;
    }
    for (int y = 0; y < rows; ++y)
        std::wmemset((wchar_t*)(first + (size_t)y * pitch), (wchar_t)value,
                     (size_t)count);
}

// Copies `count` pixels of each of `rows` rows, leaving out those whose
// colour lies in the key's low..high.
static void CopyKeyedRows(uint32_t* to, int toPitch, const uint32_t* from,
                          int fromPitch, int count, int rows,
                          const DDCOLORKEY& key) {
    // The key is a colour: the unused top byte of XRGB takes no part.
    const uint32_t low = key.dwColorSpaceLowValue & 0x00FFFFFF;
    const uint32_t high = key.dwColorSpaceHighValue & 0x00FFFFFF;
    const FourPixels colourBits = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
                                   0x00FFFFFF};
    const FourPixels lows = {low, low, low, low};
    const FourPixels highs = {high, high, high, high};
    for (int y = 0; y < rows; ++y) {
        uint32_t* d = to + (size_t)y * toPitch;
        const uint32_t* s = from + (size_t)y * fromPitch;
        int x = 0;
        for (; x + 4 <= count; x += 4) {
            FourPixels source = *(const FourPixels*)(s + x);
            FourPixels colour = source & colourBits;
            // All ones in the lanes to copy, as a vector comparison gives.
            FourPixels copy = (FourPixels)((colour < lows) | (colour > highs));
            FourPixels* dest = (FourPixels*)(d + x);
            *dest = (source & copy) | (*dest & ~copy);
        }
        for (; x < count; ++x) {
            uint32_t colour = s[x] & 0x00FFFFFF;
            if (colour < low || colour > high) d[x] = s[x];
        }
    }
}

// Fills with a colour, or copies a same-size source leaving out its key (the
// only copy the game makes). A null rectangle is the whole surface; one not
// inside it is refused (DdrawCheckBlt). DDBLT_WAIT needs nothing: a blit is
// done when the call returns.
HRESULT DirectDrawSurface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source,
                               LPRECT sourceRect, DWORD flags, LPDDBLTFX fx) {
    TRACE(TRACE_DDRAW, "dst=%s src=%p srcRect=%s flags=0x%08x fx=%p",
          TraceRect(destRect).c_str(), (void*)source,
          TraceRect(sourceRect).c_str(), (unsigned)flags, (void*)fx);
    HRESULT refused = DdrawCheckBlt(*this, destRect, source, sourceRect, flags);
    if (refused != DD_OK) return refused;
    // DdrawCheckBlt leaves a rectangle inside the surface and, for a copy,
    // a keyed source of its size: nothing is clipped.
    DirectDrawSurface* from =
        (flags & DDBLT_COLORFILL) ? nullptr : DdrawFindSurface(source);
    if (!from && !fx) return DDERR_INVALIDPARAMS;
    int left = destRect ? (int)destRect->left : 0;
    int top = destRect ? (int)destRect->top : 0;
    int count = destRect ? (int)destRect->right - left : map.width;
    int rows = destRect ? (int)destRect->bottom - top : map.height;
    uint32_t* to = map.pixels + (size_t)top * map.pitch + left;
    UserDrawOp op;
    op.box = {left, top, count, rows};
    if (!from && count == map.width && rows == map.height) {
        // A whole fill makes every pixel: what came before it no longer
        // counts. Over pixels that a fill of the same colour made, only
        // what was drawn since needs filling (the game clears each frame
        // to the grey of the last).
        if (drawing.whole && drawing.ops[0].value == fx->dwFillColor) {
            for (size_t i = 1; i < drawing.ops.size(); ++i) {
                const SDL_Rect& box = drawing.ops[i].box;
                if (box.w > 0 && box.h > 0)
                    FillRows(map.pixels + (size_t)box.y * map.pitch + box.x,
                             map.pitch, box.w, box.h, fx->dwFillColor);
            }
        } else {
            FillRows(to, map.pitch, count, rows, fx->dwFillColor);
        }
        drawing.whole = true;
        drawing.ops.clear();
        op.kind = UserDrawOp::Fill;
        op.value = fx->dwFillColor;
    } else if (!from) {
        FillRows(to, map.pitch, count, rows, fx->dwFillColor);
        op.kind = UserDrawOp::Fill;
        op.value = fx->dwFillColor;
    } else {
        CopyKeyedRows(to, map.pitch, from->map.pixels, from->map.pitch, count,
                      rows, from->sourceKey);
        op.kind = UserDrawOp::KeyedCopy;
        op.source = from->serial;
        op.version = from->version;
        // The whole source is copied (its key is set once, at creation).
    }
    Note(op);
    return DD_OK;
}

// Shows the back buffer, paced by the refresh, and swaps it with the front.
HRESULT DirectDrawSurface::Flip(LPDIRECTDRAWSURFACE7 target, DWORD flags) {
    TRACE(TRACE_DDRAW, "target=%p flags=0x%x", (void*)target, (unsigned)flags);
    if (!backBuffer) return DDERR_NOTFLIPPABLE;
    ++ddrawFlipCount;
    // A frame drawn in the window's screen memory is shown where it is.
    if (lent && UserPresentLent(owner->window, backBuffer->drawing))
        return DD_OK;
    // No pixel is copied here: the two buffers change hands (each with the
    // drawing that made it), and the window keeps showing the front
    // buffer's pixels until the next flip.
    SwapPixels(backBuffer);
    UserPresentFrame(owner->window, map, &drawing);
    BorrowScreen();
    return DD_OK;
}

// Returns, with a reference, the back buffer (what the game asks for).
HRESULT DirectDrawSurface::GetAttachedSurface(LPDDSCAPS2 caps,
                                              LPDIRECTDRAWSURFACE7* surface) {
    TRACE(TRACE_DDRAW, "caps=0x%x", caps ? (unsigned)caps->dwCaps : 0u);
    *surface = nullptr;
    HRESULT result = TakeFault(FAULT_GETATTACHEDSURFACE);
    if (FAILED(result)) return result;
    if (!backBuffer) return DDERR_NOTFOUND;
    backBuffer->AddRef();
    *surface = backBuffer;
    return result;
}

// Hands out a GDI device context onto the surface's pixels, one at a time.
HRESULT DirectDrawSurface::GetDC(HDC* out) {
    TRACE(TRACE_DDRAW, "surface=%p", (void*)this);
    if (dc) return DDERR_DCALREADYCREATED;
    dc = GdiCreatePixelDC(map);
    GdiSetPixelDCNoter(dc, NoteDrawn, this);
    *out = dc;
    return DD_OK;
}

// Takes back the device context GetDC handed out.
HRESULT DirectDrawSurface::ReleaseDC(HDC given) {
    TRACE(TRACE_DDRAW, "dc=%p", (void*)given);
    if (!dc || given != dc) return DDERR_INVALIDPARAMS;
    GdiDeletePixelDC(dc);
    dc = nullptr;
    return DD_OK;
}
