// kernel32: the millisecond tick count and Sleep.
#include <windows.h>

#include <time.h>

#include "tick_internal.h"

bool kernelTickFixed = false;
DWORD kernelTickValue = 0;

// Milliseconds of the monotonic clock, cut to 32 bits: it wraps after 49.7
// days as Windows' does.
DWORD WINAPI GetTickCount(void) {
    if (kernelTickFixed) return kernelTickValue;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        (uint64_t)now.tv_sec * 1000u + (uint64_t)now.tv_nsec / 1000000u;
    return (DWORD)ms;
}

// Suspends the thread for at least `milliseconds`.
void WINAPI Sleep(DWORD milliseconds) {
    struct timespec wait = {(time_t)(milliseconds / 1000),
                            (long)(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}
