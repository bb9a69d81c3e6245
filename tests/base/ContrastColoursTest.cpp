#include "base/ContrastColours.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

// White text on cream was unreadable under High Contrast Black: there the system's
// face and text are shown together, never one of ours beside one of the system's.
TEST(ContrastColours, HighContrastShowsTheSystemsFaceAndTextTogether) {
    constexpr FaceAndText cream{0xF0FBFF, 0xFF0000}, black{0x000000, 0xFFFFFF};
    EXPECT_EQ(ShownColours(false, cream, black), cream);
    EXPECT_EQ(ShownColours(true, cream, black), black);
}

}  // namespace
}  // namespace ocu
