// The bars grow with the window's DPI; the view keeps its screen pixels.
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

TEST(DpiScaling, RoundsAsMulDivAndTakesANonsenseDpiAs96) {
    const int cases[][3] = {{61, 96, 61}, {61, 120, 76}, {61, 144, 92}, {17, 144, 26}, {61, 192, 122},
                            {1, 144, 2},  {-3, 144, -5}, {61, 0, 61},   {61, -96, 61}};
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
}

TEST_F(MainWindowTest, AtAnotherDpiTheViewBeginsBelowTheScaledBarsInTheSuggestedRectangle) {
    Start();
    platform.StatusHeight = 24;  // what the edge gives the status bar at 144 dpi
    platform.Client = {600, 450};
    const IntRect suggested{100, 50, 716, 539};
    form->OnDpiChanged(144, suggested);
    form->OnDpiChanged(144, IntRect{10, 10, 5, 5});  // a rectangle the system cannot mean moves nothing
    EXPECT_EQ(platform.Window, suggested);
    EXPECT_EQ(S().ViewTop, 92);
    EXPECT_EQ(S().ViewWidth, 600) << "the view stays in screen pixels";
    EXPECT_EQ(S().ViewHeight, 450 - 24 - 92);
}

}  // namespace
}  // namespace ocu::testing
