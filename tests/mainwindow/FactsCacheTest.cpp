#include "mainwindow/FactsCache.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(FactsCacheTest, FreshForASecondUnlessForgottenAcrossTheTickCountsWrap) {
    FactsCache facts;
    EXPECT_FALSE(facts.Fresh(5));
    for (const std::uint32_t start : {100u, 0xFFFFFF00u}) {
        facts.Taken(start);
        EXPECT_TRUE(facts.Fresh(start + 999));
        EXPECT_FALSE(facts.Fresh(start + 1000));
        facts.Forget();
        EXPECT_FALSE(facts.Fresh(start + 1));
    }
}

}  // namespace
}  // namespace ocu
