// Inside the GDI+ stand-in.
#ifndef QEL_PLATFORM_GDIPLUS_GDIPLUS_PRIVATE_H
#define QEL_PLATFORM_GDIPLUS_GDIPLUS_PRIVATE_H

// True between the first GdiplusStartup and the last GdiplusShutdown.
bool GdipIsStarted();

#endif
