#include "mainwindow/OverdueTick.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ocu {
namespace {

TEST(OverdueTick, OwedAfterThreeIntervalsAndNeverSoonerThan300Ms) {
    // Slow ticks: three intervals.
    EXPECT_FALSE(CaptureTickOverdue(200, 599));
    EXPECT_TRUE(CaptureTickOverdue(200, 600));
    // Fast ticks: the 300 ms floor, so a busy queue does not run one per message.
    EXPECT_FALSE(CaptureTickOverdue(10, 30));
    EXPECT_FALSE(CaptureTickOverdue(10, 299));
    EXPECT_TRUE(CaptureTickOverdue(10, 300));
    EXPECT_FALSE(CaptureTickOverdue(100, 299));
    EXPECT_TRUE(CaptureTickOverdue(100, 300));
}

TEST(OverdueTick, AStoppedTimerOwesNothingAndALongWaitDoesNotOverflow) {
    EXPECT_FALSE(CaptureTickOverdue(0, 1'000'000));
    EXPECT_FALSE(CaptureTickOverdue(-5, 1'000'000));
    // Before the first tick the edge counts from zero: the wait is huge and owed.
    EXPECT_TRUE(CaptureTickOverdue(2'000'000'000, UINT64_MAX));
    EXPECT_FALSE(CaptureTickOverdue(2'000'000'000, 5'999'999'999));
    EXPECT_TRUE(CaptureTickOverdue(2'000'000'000, 6'000'000'000));
}

}  // namespace
}  // namespace ocu
