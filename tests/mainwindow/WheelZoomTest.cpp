#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

using WheelZoomTest = MainWindowTest;

ShiftState Ctrl() {
    ShiftState s;
    s.Ctrl = true;
    return s;
}

TEST_F(WheelZoomTest, CtrlWheelOverTheViewStepsLikeTheHotKeys) {
    StartWithView(300, 300, 2.0f);
    const int vx = S().ViewLeft + 10, vy = S().ViewTop + 10;
    form->Controls().FormMouseWheel(Ctrl(), 120, vx, vy);
    const float up = static_cast<float>(2.0L + static_cast<long double>(0.1f));
    EXPECT_EQ(S().ZoomRate, up);
    EXPECT_NE(platform.Title.find("倍率:2.1倍"), std::string::npos);
    form->Controls().FormMouseWheel(Ctrl(), -240, vx, vy);  // two notches at once
    EXPECT_NEAR(S().ZoomRate, 1.9f, 1e-5f);
    // Half notches add up; a half turn alone does nothing yet.
    const float before = S().ZoomRate;
    form->Controls().FormMouseWheel(Ctrl(), 60, vx, vy);
    EXPECT_EQ(S().ZoomRate, before);
    form->Controls().FormMouseWheel(Ctrl(), 60, vx, vy);
    EXPECT_GT(S().ZoomRate, before);
}

TEST_F(WheelZoomTest, PlainWheelAndWheelOverTheBarsLeaveTheZoom) {
    StartWithView(300, 300, 2.0f);
    form->Controls().FormMouseWheel(ShiftState{}, 120, S().ViewLeft + 10, S().ViewTop + 10);
    form->Controls().FormMouseWheel(Ctrl(), 120, 10, S().ViewTop - 1);                            // tool bar
    form->Controls().FormMouseWheel(Ctrl(), 120, 10, S().ViewTop + S().ViewHeight);               // status bar
    form->Controls().FormMouseWheel(Ctrl(), 120, S().ViewLeft + S().ViewWidth, S().ViewTop + 1);  // right of the view
    EXPECT_EQ(S().ZoomRate, 2.0f);
}

TEST_F(WheelZoomTest, LimitsAndBandAreThoseOfSetZoomRate) {
    StartWithView(300, 300, 16.0f);
    const int vx = S().ViewLeft + 1, vy = S().ViewTop + 1;
    form->Controls().FormMouseWheel(Ctrl(), 120, vx, vy);
    EXPECT_EQ(S().ZoomRate, 16.0f);  // refused above sixteen
    Arrange([&](ViewState& s) { s.ZoomRate = 1.06f; });
    form->Controls().FormMouseWheel(Ctrl(), -120, vx, vy);
    EXPECT_EQ(S().ZoomRate, 1.0f);  // 0.96 lies in the band just below one
    form->Controls().FormMouseWheel(Ctrl(), -120, vx, vy);
    EXPECT_EQ(S().ZoomRate, 1.0f);  // 0.9 is refused
}

}  // namespace
}  // namespace ocu::testing
