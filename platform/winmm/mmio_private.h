// Bookkeeping of the mmio stand-in that the test seams read.
#ifndef QEL_PLATFORM_WINMM_MMIO_PRIVATE_H
#define QEL_PLATFORM_WINMM_MMIO_PRIVATE_H

// Handles returned by mmioOpenA and not yet closed.
int MmioOpenHandles();
// Successful and failed mmioOpenA calls since the last reset.
int MmioOpenCalls();
void MmioResetCounters();

#endif
