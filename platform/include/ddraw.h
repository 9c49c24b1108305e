// DirectDraw 7, the subset Qel uses, for the Linux stand-in. Records keep the
// SDK's layout; interfaces declare the methods the game calls, in the SDK's
// slot order (the slot is noted beside each).
#ifndef QEL_PLATFORM_DDRAW_H
#define QEL_PLATFORM_DDRAW_H

#include <objbase.h>

struct IDirectDraw;
struct IDirectDraw7;
struct IDirectDrawSurface7;
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDraw7* LPDIRECTDRAW7;
typedef IDirectDrawSurface7* LPDIRECTDRAWSURFACE7;

DEFINE_GUID(IID_IDirectDraw7, 0x15e65ec0, 0x3b9c, 0x11d2, 0xb9, 0x2f, 0x00,
            0x60, 0x97, 0x97, 0xea, 0x5b);

typedef struct _DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
} DDCOLORKEY, *LPDDCOLORKEY;

typedef struct _DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    union {
        DWORD dwCaps4;
        DWORD dwVolumeDepth;
    };
} DDSCAPS2, *LPDDSCAPS2;

typedef struct _DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwYUVBitCount;
        DWORD dwZBufferBitDepth;
        DWORD dwAlphaBitDepth;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwYBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwUBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwVBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwYUVAlphaBitMask;
    };
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

typedef struct _DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    union {
        LONG lPitch;
        DWORD dwLinearSize;
    };
    union {
        DWORD dwBackBufferCount;
        DWORD dwDepth;
    };
    union {
        DWORD dwMipMapCount;
        DWORD dwRefreshRate;
        DWORD dwSrcVBHandle;
    };
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    union {
        DDCOLORKEY ddckCKDestOverlay;
        DWORD dwEmptyFaceColor;
    };
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    union {
        DDPIXELFORMAT ddpfPixelFormat;
        DWORD dwFVF;
    };
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
} DDSURFACEDESC2, *LPDDSURFACEDESC2;

typedef struct _DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    union {
        DWORD dwZDestConst;
        LPDIRECTDRAWSURFACE7 lpDDSZBufferDest;
    };
    DWORD dwZSrcConstBitDepth;
    union {
        DWORD dwZSrcConst;
        LPDIRECTDRAWSURFACE7 lpDDSZBufferSrc;
    };
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    union {
        DWORD dwAlphaDestConst;
        LPDIRECTDRAWSURFACE7 lpDDSAlphaDest;
    };
    DWORD dwAlphaSrcConstBitDepth;
    union {
        DWORD dwAlphaSrcConst;
        LPDIRECTDRAWSURFACE7 lpDDSAlphaSrc;
    };
    union {
        DWORD dwFillColor;
        DWORD dwFillDepth;
        DWORD dwFillPixel;
        LPDIRECTDRAWSURFACE7 lpDDSPattern;
    };
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
} DDBLTFX, *LPDDBLTFX;

#define DD_OK S_OK
#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000 | (code)))
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_TOOBIGHEIGHT MAKE_DDHRESULT(470)
#define DDERR_TOOBIGWIDTH MAKE_DDHRESULT(490)
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_NODIRECTDRAWHW MAKE_DDHRESULT(563)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_DCALREADYCREATED MAKE_DDHRESULT(620)

#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_EXCLUSIVE 0x00000010
#define DDSCL_ALLOWMODEX 0x00000040

#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_CKSRCBLT 0x00010000

#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_PRIMARYSURFACE 0x00000200

#define DDBLT_COLORFILL 0x00000400
#define DDBLT_KEYSRC 0x00008000
#define DDBLT_WAIT 0x01000000
#define DDFLIP_WAIT 0x00000001


// IDirectDraw, as DirectDrawCreate returns it.
struct IDirectDraw : IUnknown {
  protected:
    ~IDirectDraw() = default;
};

struct IDirectDraw7 : IUnknown {
    STDMETHOD(CreateSurface)(LPDDSURFACEDESC2 desc,
                             LPDIRECTDRAWSURFACE7* surface,
                             IUnknown* outer) PURE;         // slot 6
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) PURE; // slot 20
    STDMETHOD(SetDisplayMode)(DWORD width, DWORD height, DWORD bpp,
                              DWORD refreshRate, DWORD flags) PURE; // slot 21

  protected:
    ~IDirectDraw7() = default;
};

struct IDirectDrawSurface7 : IUnknown {
    STDMETHOD(Blt)(LPRECT destRect, LPDIRECTDRAWSURFACE7 source,
                   LPRECT sourceRect, DWORD flags, LPDDBLTFX fx) PURE; // slot 5
    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE7 override, DWORD flags) PURE; // slot 11
    STDMETHOD(GetAttachedSurface)(LPDDSCAPS2 caps,
                                  LPDIRECTDRAWSURFACE7* surface) PURE; // 12
    STDMETHOD(GetDC)(HDC* dc) PURE;                                  // slot 17
    STDMETHOD(ReleaseDC)(HDC dc) PURE;                               // slot 26

  protected:
    ~IDirectDrawSurface7() = default;
};

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* directDraw,
                                IUnknown* outer);

#endif
