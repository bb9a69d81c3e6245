#include "pipeline/LikelyArea.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

IntRect At(int x, int y) { return {x, y, x + 75, y + 75}; }

// The next area of a pointer circling at the bench's pace (8 px a tick), of one that skips a
// tick's step, and of one that stops, must fall inside the guess; a jump need not.
TEST(LikelyArea, CoversAPointerKeepingOrChangingPaceAndAPinnedArea) {
    const IntRect guess = LikelyNextArea(At(100, 200), At(108, 203));
    EXPECT_TRUE(Encloses(guess, At(116, 206)));  // same pace
    EXPECT_TRUE(Encloses(guess, At(124, 209)));  // two steps in one tick
    EXPECT_TRUE(Encloses(guess, At(108, 203)));  // stopped
    EXPECT_TRUE(Encloses(guess, At(112, 200)));  // turning
    EXPECT_FALSE(Encloses(guess, At(300, 200)));

    // A pinned area, or one under a resting pointer, is fetched as it is: no extra pixels.
    EXPECT_EQ(LikelyNextArea(At(40, 50), At(40, 50)), At(40, 50));
    // A new size (a new zoom) says nothing about pace.
    EXPECT_EQ(LikelyNextArea(IntRect{0, 0, 150, 150}, At(40, 50)), At(40, 50));
    EXPECT_EQ(LikelyNextArea(At(0, 0), IntRect{}), IntRect{});
}

}  // namespace
}  // namespace ocu
