#include "base/ContrastColours.h"

#include <gtest/gtest.h>

// Never one of our colours beside one of the system's: white text on cream was unreadable.
TEST(ContrastColours, HighContrastShowsTheSystemsFaceAndTextTogether) {
    constexpr ocu::FaceAndText cream{0xF0FBFF, 0xFF0000}, black{0x000000, 0xFFFFFF};
    EXPECT_EQ(ocu::ShownColours(false, cream, black), cream);
    EXPECT_EQ(ocu::ShownColours(true, cream, black), black);
}
