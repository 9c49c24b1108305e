// Bookkeeping of the mmio stand-in that the test seams read.
#ifndef QEL_PLATFORM_WINMM_MMIO_PRIVATE_H
#define QEL_PLATFORM_WINMM_MMIO_PRIVATE_H

#include <cstdint>

// The largest file mmioOpenA opens, which here is always one of the game's
// sound effects: 16 MiB is over six minutes of the 11025 Hz 16-bit stereo
// its sound buffers play. The reader holds the samples whole, and the mixer
// again four times over at its 44100 Hz, so a sound past this would cost the
// process hundreds of megabytes, and one of gigabytes would end it.
const uint64_t kMmioMaxFileBytes = 16u << 20;

// Handles returned by mmioOpenA and not yet closed.
int MmioOpenHandles();

#endif
