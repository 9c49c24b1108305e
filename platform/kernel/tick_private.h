// Inside the stand-in: the tick count a test may fix, and the clock's time
// as a tick count.
#ifndef QEL_PLATFORM_KERNEL_TICK_PRIVATE_H
#define QEL_PLATFORM_KERNEL_TICK_PRIVATE_H

#include <windows.h>

#include <cstdint>

extern bool kernelTickFixed;
extern DWORD kernelTickValue;

// A time of the monotonic clock in milliseconds, cut to 32 bits: the count
// wraps after 49.7 days as Windows' does.
DWORD KernelTickFromClock(uint64_t seconds, uint64_t nanoseconds);

#endif
