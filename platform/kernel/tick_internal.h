// Inside the stand-in: the tick count a test may fix.
#ifndef QEL_PLATFORM_KERNEL_TICK_INTERNAL_H
#define QEL_PLATFORM_KERNEL_TICK_INTERNAL_H

#include <windows.h>

extern bool kernelTickFixed;
extern DWORD kernelTickValue;

#endif
