#include "mainwindow/StatusPanels.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(StatusPanelsTest, PanelsButTheLastGrowToTheirTextAndStayGrown) {
    StatusPanels p;
    p.LayOut({100, 200, 50}, 192, {300, 0, 900});
    EXPECT_EQ(p.Width(0), 320) << "text and padding, both at the DPI";
    EXPECT_EQ(p.Width(1), 400);
    EXPECT_EQ(p.Width(2), 100) << "the last runs to the end and never grows";
    EXPECT_FALSE(p.Fit(1, 380)) << "fits already";
    EXPECT_TRUE(p.Fit(1, 390));
    EXPECT_FALSE(p.Fit(1, 10)) << "a shorter text does not shrink it";
    EXPECT_FALSE(p.Fit(2, 900));
    EXPECT_FALSE(p.Fit(7, 900));
    EXPECT_EQ(p.Edges(), (std::vector<int>{320, 730, -1}));
}

TEST(StatusPanelsTest, SpansLeaveTheGapAndStopAtTheGrip) {
    StatusPanels p;
    p.LayOut({100, 200, 50}, 96);
    EXPECT_EQ(p.Span(0, 2, 500, 480), (std::pair{0, 100}));
    EXPECT_EQ(p.Span(1, 2, 500, 480), (std::pair{102, 300}));
    EXPECT_EQ(p.Span(2, 2, 500, 480), (std::pair{302, 480}));
    EXPECT_EQ(p.Span(1, 2, 250, 250), (std::pair{102, 250}));
}

}  // namespace
}  // namespace ocu
