// The tick count: the monotonic clock's milliseconds, cut to 32 bits so that
// it wraps after 49.7 days as Windows' does.
#include <gtest/gtest.h>

#include "kernel/tick_internal.h"

TEST(TickCount, IsTheClocksMillisecondsWrappingAt32Bits) {
    EXPECT_EQ(KernelTickFromClock(12, 345999999), 12345u);
    EXPECT_EQ(KernelTickFromClock(4294967, 295999999), 0xFFFFFFFFu);
    EXPECT_EQ(KernelTickFromClock(4294968, 0), 704u);
}
