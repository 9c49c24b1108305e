// kernel32: the millisecond tick count.
#include <windows.h>

#include <time.h>

#include "tick_private.h"

#include "../trace/trace.h"

bool kernelTickFixed = false;
DWORD kernelTickValue = 0;

DWORD KernelTickFromClock(uint64_t seconds, uint64_t nanoseconds) {
    return (DWORD)(seconds * 1000u + nanoseconds / 1000000u);
}

// Milliseconds of the monotonic clock.
DWORD WINAPI GetTickCount(void) {
    DWORD tick = kernelTickValue;
    if (!kernelTickFixed) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        tick = KernelTickFromClock((uint64_t)now.tv_sec, (uint64_t)now.tv_nsec);
    }
    TRACE(TRACE_KERNEL, "-> %u", (unsigned)tick);
    return tick;
}
