// The display set-up: sound effects, DirectDraw, the flipping primary and its
// back buffer, the keyboard picture and the fonts, in that order.
#include "display/display.h"

#include <cstring>

#include "audio/sound_effects.h"
#include "display/surface_text.h"
#include "display/image_loader.h"
#include "display/picture.h"

LPDIRECTDRAW7 lpDD;
LPDIRECTDRAWSURFACE7 lpDDprimary;
LPDIRECTDRAWSURFACE7 lpDDback;
LPDIRECTDRAWSURFACE7 lpDDbmp1;
int32_t nPictureWidth;
int32_t nPictureHeight;

// Serves both surface creations: the primary, then the picture.
static DDSURFACEDESC2 ddsd;

// `window` is the main window: it takes the display and owns the boxes.
HRESULT InitDirectX(HWND window) {
    InitSoundEffects();
    hitSound = LoadSoundEffect("damage_axe.wav");
    levelUpSound = LoadSoundEffect("item_specialdrop.wav");

    LPDIRECTDRAW temp = nullptr;
    HRESULT hr = DirectDrawCreate(nullptr, &temp, nullptr);
    if (FAILED(hr)) {
        MessageBoxA(window, "DirectDrawCreate", "Error", MB_OK);
        return hr;
    }
    hr = temp->QueryInterface(IID_IDirectDraw7, (void**)&lpDD);
    // Only the IDirectDraw7 interface is kept; this one would leak.
    temp->Release();
    if (FAILED(hr)) {
        MessageBoxA(window, "QueryInterface", "Error", MB_OK);
        return hr;
    }

    hr = lpDD->SetCooperativeLevel(window,
                                   DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                       DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    if (FAILED(hr)) {
        MessageBoxA(window, "SetCooperativeLevel", "Error", MB_OK);
        return hr;
    }
    // A refused mode leaves the display as it is; the game goes on in it.
    lpDD->SetDisplayMode(1024, 768, 32, 0, 0);

    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    ddsd.dwBackBufferCount = 1;
    hr = lpDD->CreateSurface(&ddsd, &lpDDprimary, nullptr);
    if (FAILED(hr)) {
        MessageBoxA(window, "CreateSurface lpDDprimary", "Error", MB_OK);
        return hr;
    }

    ddsd.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = lpDDprimary->GetAttachedSurface(&ddsd.ddsCaps, &lpDDback);
    if (FAILED(hr)) {
        MessageBoxA(window, "CreateSurface lpDDback", "Error", MB_OK);
        return hr;
    }

    // The picture steps show their own message and destroy the image when
    // the picture surface can't be created.
    ImageLoader image;
    hr = LoadKeyboardPicture(window, &ddsd, &image);
    if (FAILED(hr)) return hr;

    CreateTextFonts();
    ImageLoaderDestroy(&image);
    return 0;
}
