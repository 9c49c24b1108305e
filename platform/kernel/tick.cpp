// kernel32: the millisecond tick count.
#include <windows.h>

#include <time.h>

#include "tick_private.h"

bool kernelTickFixed = false;
DWORD kernelTickValue = 0;

DWORD KernelTickFromClock(uint64_t seconds, uint64_t nanoseconds) {
    return (DWORD)(seconds * 1000u + nanoseconds / 1000000u);
}

// Milliseconds of the monotonic clock.
DWORD WINAPI GetTickCount(void) {
    if (kernelTickFixed) return kernelTickValue;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return KernelTickFromClock((uint64_t)now.tv_sec, (uint64_t)now.tv_nsec);
}
