// Time as the game meets it: the tick count, the monotonic clock's
// milliseconds cut to 32 bits so that it wraps after 49.7 days as Windows'
// does; and presents paced to one a refresh.
#include <gtest/gtest.h>

#include "kernel/tick_private.h"
#include "testing/seams.h"

TEST(Clock, TheTickCountIsTheClocksMillisecondsWrappingAt32Bits) {
    EXPECT_EQ(KernelTickFromClock(12, 345999999), 12345u);
    EXPECT_EQ(KernelTickFromClock(4294967, 295999999), 0xFFFFFFFFu);
    EXPECT_EQ(KernelTickFromClock(4294968, 0), 704u);
}

// An unknown refresh (Xvfb reports 0) is 60 Hz; a present late by more
// than a refresh waits for nothing and starts the count anew.
TEST(Clock, PresentsComeOncePerRefresh) {
    const uint64_t ms = 1000000, t = 5000 * ms;
    uint64_t next = 0;
    EXPECT_EQ(UserPaceWait(&next, t, 0), 0u);
    EXPECT_EQ(UserPaceWait(&next, t + 1 * ms, 0), 16666666u - 1 * ms);
    EXPECT_EQ(UserPaceWait(&next, t + 20 * ms, 0), 13333332u);
    EXPECT_EQ(UserPaceWait(&next, t + 90 * ms, 75), 0u);
    EXPECT_EQ(UserPaceWait(&next, t + 91 * ms, 75), 13333333u - 1 * ms);
}
