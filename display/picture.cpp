// The keyboard picture: "finger.jpg" decoded and copied one to one into the
// off-screen surface lpDDbmp1, white keyed out.

#include "display/picture.h"

#include "display/display.h"

HRESULT LoadKeyboardPicture(HWND window, DDSURFACEDESC2* desc,
                            ImageLoader* image) {
    ImageLoaderCreate(image);
    ImageLoaderLoad(image, "finger.jpg");
    nPictureWidth = ImageLoaderWidth(image);
    nPictureHeight = ImageLoaderHeight(image);

    HDC windowDC = GetDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    SelectObject(memoryDC, ImageLoaderBitmap(image));

    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_CKSRCBLT;
    desc->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc->ddckCKSrcBlt.dwColorSpaceLowValue = 0x00FFFFFF;
    desc->ddckCKSrcBlt.dwColorSpaceHighValue = 0x00FFFFFF;
    desc->dwWidth = nPictureWidth;
    desc->dwHeight = nPictureHeight;
    HRESULT hr = lpDD->CreateSurface(desc, &lpDDbmp1, nullptr);
    if (FAILED(hr)) {
        MessageBoxA(window, "CreateSurface lpDDbmp1", "Error", MB_OK);
        DeleteDC(memoryDC);
        ReleaseDC(window, windowDC);
        ImageLoaderDestroy(image);
        return hr;
    }

    HDC hdc = nullptr;
    lpDDbmp1->GetDC(&hdc);
    // Same size both sides: a plain copy, never a stretch.
    StretchBlt(hdc, 0, 0, nPictureWidth, nPictureHeight, memoryDC, 0, 0,
               nPictureWidth, nPictureHeight, SRCCOPY);
    lpDDbmp1->ReleaseDC(hdc);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return S_OK;
}
