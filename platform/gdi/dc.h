// Inside the stand-in: device contexts onto pixel memory. DirectDraw
// surfaces, windows and memory bitmaps all hand GDI the same kind of target.
#ifndef QEL_PLATFORM_GDI_DC_H
#define QEL_PLATFORM_GDI_DC_H

#include <windows.h>

#include <cstdint>

// 32-bit XRGB pixels (0x00RRGGBB), rows of `pitch` pixels, top row first.
struct PixelMap {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
};

// A device context drawing onto `target`, which the caller keeps alive until
// GdiDeletePixelDC. It starts with the default font and black text, as a
// fresh Windows DC does; text is always drawn transparent, as the game asks
// (the background mode is only kept for SetBkMode to give back).
HDC GdiCreatePixelDC(const PixelMap& target);
void GdiDeletePixelDC(HDC dc);
// The pixels a device context draws onto moved (same size and pitch).
void GdiRetargetPixelDC(HDC dc, const PixelMap& target);
// The pixels a device context draws onto (for a memory DC: its selected
// bitmap's), or null.
const PixelMap* GdiGetPixelMap(HDC dc);

// What one drawing call did to a pixel DC's target, told to whoever watches
// that DC (a DirectDraw surface notes what is drawn on it, so that a present
// knows what changed without looking at every pixel). `box` holds every
// pixel the call may have changed, clipped to the target. Text says what it
// drew, so that the same text drawn again is known as the same; anything
// else is `Other` and counts as new each time.
struct GdiDrawNote {
    enum Kind { Text, Other } kind = Other;
    RECT box = {};
    uint64_t font = 0; // text: the font's serial, unique for the process
    COLORREF color = 0;
    int x = 0, y = 0;
    const char* text = nullptr;
    int length = 0;
};
typedef void (*GdiDrawNoter)(void* context, const GdiDrawNote& note);
// Calls `noter(context, note)` after each drawing call on `dc`.
void GdiSetPixelDCNoter(HDC dc, GdiDrawNoter noter, void* context);

// A GDI bitmap owning a copy of `width` by `height` XRGB pixels.
HBITMAP GdiCreateBitmap(int width, int height, const uint32_t* pixels);

// COLORREF (0x00bbggrr) to the XRGB pixel value.
inline uint32_t GdiPixelFromColor(COLORREF color) {
    return (uint32_t)GetRValue(color) << 16 | (uint32_t)GetGValue(color) << 8 |
           GetBValue(color);
}

#endif
