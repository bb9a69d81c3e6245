#include "image/BufferGrowth.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(GrownBufferSizeTest, FirstTheRequestThenAQuarterMoreAtLeast) {
    EXPECT_EQ(GrownBufferSize({300, 200}, {0, 0}), (IntPoint{300, 200}));
    EXPECT_EQ(GrownBufferSize({301, 100}, {300, 200}), (IntPoint{375, 250}));  // one pixel wider: room for more
    EXPECT_EQ(GrownBufferSize({900, 210}, {300, 200}), (IntPoint{900, 250}));  // a big jump is taken whole
}

}  // namespace
}  // namespace ocu
