// The bars grow with the window's DPI, the view keeps its screen pixels.
#include <gtest/gtest.h>

#include "mainwindow/MainWindowFixture.h"
#include "mainwindow/ViewLayout.h"

namespace ocu::testing {
namespace {

TEST(DpiScaling, RoundsAsTheSystemDoesAndKeepsEveryLengthAt96) {
    struct Case {
        int value, dpi, pixels;
    } const cases[] = {
        {61, 96, 61},  {17, 96, 17},  {61, 120, 76}, {61, 144, 92}, {17, 144, 26}, {61, 192, 122},
        {1, 144, 2},   {-3, 144, -5}, {0, 192, 0},   {61, 0, 61},   {61, -96, 61},
    };
    for (const Case& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.pixels) << c.value << " at " << c.dpi;
    for (int dpi : {96, 120, 144, 168, 192, 288}) {
        const BarLayout bars = BarLayoutFor(dpi);
        EXPECT_EQ(bars.ToolBarTop, bars.InfoBarHeight) << dpi;
        EXPECT_EQ(bars.ToolBarTop + bars.ToolBarHeight, bars.ViewTop) << "no gap or overlap above the view at " << dpi;
    }
}

class DpiLayoutTest : public MainWindowTest {};

TEST_F(DpiLayoutTest, TheViewBeginsBelowTheScaledBarsAndTakesTheSuggestedRectangle) {
    Start();
    form->ChgWindowSize(400, 300);
    ASSERT_EQ(S().ViewTop, 61);
    ASSERT_EQ(S().ViewHeight, 300 - 16 - 61);

    platform.StatusHeight = 24;  // the status bar the edge gives at 144 dpi
    platform.Client = {600, 450};
    const IntRect suggested{100, 50, 716, 539};
    form->OnDpiChanged(144, suggested);
    EXPECT_EQ(platform.Window, suggested);
    EXPECT_EQ(S().ViewTop, 92);
    EXPECT_EQ(S().ViewWidth, 600) << "the view stays in screen pixels";
    EXPECT_EQ(S().ViewHeight, 450 - 24 - 92);

    // Back at 96 every length is as before; a rectangle the system cannot mean moves nothing.
    platform.StatusHeight = 16;
    form->OnDpiChanged(96, IntRect{10, 10, 5, 5});
    EXPECT_EQ(platform.Window, suggested);
    EXPECT_EQ(S().ViewTop, 61);
    EXPECT_EQ(S().ViewHeight, 450 - 16 - 61);
}

}  // namespace
}  // namespace ocu::testing
