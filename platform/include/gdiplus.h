// GDI+, the flat subset Qel's picture loader uses, for the Linux stand-in.
// Names, namespaces and values follow the SDK: the start-up in Gdiplus, the
// flat functions in Gdiplus::DllExports.
#ifndef QEL_PLATFORM_GDIPLUS_H
#define QEL_PLATFORM_GDIPLUS_H

#include <windows.h>

typedef uint32_t UINT32;

#define WINGDIPAPI
#define GDIPCONST const

namespace Gdiplus {

typedef float REAL;
typedef DWORD ARGB;

typedef enum GpStatus {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
    ProfileNotFound = 21
} GpStatus;
typedef GpStatus Status;

class GpImage {};
class GpBitmap : public GpImage {};

typedef void* DebugEventProc;
typedef GpStatus(WINGDIPAPI* NotificationHookProc)(ULONG_PTR* token);
typedef VOID(WINGDIPAPI* NotificationUnhookProc)(ULONG_PTR token);

typedef struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    DebugEventProc DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;

    GdiplusStartupInput(DebugEventProc debugEventCallback = nullptr,
                        BOOL suppressBackgroundThread = FALSE,
                        BOOL suppressExternalCodecs = FALSE)
        : GdiplusVersion(1), DebugEventCallback(debugEventCallback),
          SuppressBackgroundThread(suppressBackgroundThread),
          SuppressExternalCodecs(suppressExternalCodecs) {}
} GdiplusStartupInput;

typedef struct GdiplusStartupOutput {
    NotificationHookProc NotificationHook;
    NotificationUnhookProc NotificationUnhook;

    GdiplusStartupOutput()
        : NotificationHook(nullptr), NotificationUnhook(nullptr) {}
} GdiplusStartupOutput;

extern "C" {
GpStatus WINGDIPAPI GdiplusStartup(ULONG_PTR* token,
                                   GDIPCONST GdiplusStartupInput* input,
                                   GdiplusStartupOutput* output);
VOID WINGDIPAPI GdiplusShutdown(ULONG_PTR token);
}

namespace DllExports {
extern "C" {
GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* fileName,
                                             GpBitmap** bitmap);
GpStatus WINGDIPAPI GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap,
                                                HBITMAP* result,
                                                ARGB background);
GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image);
GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height);
}
} // namespace DllExports

} // namespace Gdiplus

#endif
