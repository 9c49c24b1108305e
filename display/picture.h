// The keyboard picture: "finger.jpg" decoded and copied into lpDDbmp1.
#ifndef QEL_DISPLAY_PICTURE_H
#define QEL_DISPLAY_PICTURE_H

#include <windows.h>
#include <ddraw.h>

#include "display/image_loader.h"

// The picture steps of InitDirectX, after the back buffer: creates `image`
// and loads "finger.jpg" into it, sets nPictureWidth and nPictureHeight,
// creates lpDDbmp1 on lpDD through `desc` (InitDirectX's own surface record,
// whose flags, caps, size and colour key this sets) and copies the picture
// into it through the GDI device context of `window`.
// Returns 0, or the failing CreateSurface result after the message box
// "CreateSurface lpDDbmp1" (caption "Error", owned by `window`); on that
// failure `image` has already been destroyed. On success the caller destroys
// `image` (ImageLoaderDestroy) after creating the fonts.
HRESULT LoadKeyboardPicture(HWND window, DDSURFACEDESC2* desc,
                            ImageLoader* image);

#endif
