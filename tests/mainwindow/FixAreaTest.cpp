#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

class FixAreaTest : public MainWindowTest {
protected:
    void PickAt(IntPoint p, MouseButton release) {
        form->RunCommand(CommandId::mmFixViewSw);
        platform.Cursor = p;
        form->FormMouseMove({}, 0, 0);
        form->FormMouseUp(release, {}, 0, 0);
    }
};

TEST_F(FixAreaTest, ConfirmNearTheRightEdgeKeepsTheClickedPointInTheSettings) {
    StartWithView(300, 300, 4.0f);  // area 75 x 55
    PickAt({1910, 500}, MouseButton::Left);
    EXPECT_TRUE(S().FixView);
    EXPECT_EQ(S().AreaLeft, 1920 - 75);
    EXPECT_EQ(ini->FixViewX, 1910);
    EXPECT_TRUE(ini->FixView);
    EXPECT_FALSE(S().Picking);
    EXPECT_FALSE(platform.MouseCaptured);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown, InjectedButton::RightUp}));
    // The marker's pixels were put back where they were saved.
    ASSERT_FALSE(platform.Restores.empty());
    EXPECT_EQ(platform.Restores.back(), platform.Saves.back());
    // The view samples the pinned area wherever the pointer goes.
    platform.Cursor = {10, 10};
    Tick();
    EXPECT_EQ(platform.LastCaptureRect.Left, 1845);
}

TEST_F(FixAreaTest, PickPromptAndCancelButtons) {
    StartWithView(300, 300, 4.0f);
    form->RunCommand(CommandId::mmFixViewSw);
    EXPECT_NE(platform.Title.find("表示を固定する位置を選択してください：右クリックでキャンセル"), std::string::npos);
    form->FormMouseUp(MouseButton::Right, {}, 0, 0);
    EXPECT_FALSE(S().FixView);
    EXPECT_FALSE(ini->FixView);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown}));
    EXPECT_NE(platform.Title.find("状態:表示モード"), std::string::npos);
    // A middle-button cancel lets go of the pick's right button.
    platform.Injected.clear();
    PickAt({500, 500}, MouseButton::Middle);
    EXPECT_FALSE(S().FixView);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown, InjectedButton::RightUp}));
}

TEST_F(FixAreaTest, ThePointerIsKeptInsideByHalfTheArea) {
    StartWithView(300, 300, 4.0f);
    Tick();  // the sampled size comes from the ticks
    form->RunCommand(CommandId::mmFixViewSw);
    platform.Cursor = {3, 1079};
    form->FormMouseMove({}, 0, 0);
    EXPECT_EQ(platform.Cursor, (IntPoint{37, 1080 - 27}));
    // The marker is drawn where the pointer was read, before the correction.
    EXPECT_EQ(platform.Outlines.back(), (IntRect{3 - 37, 1079 - 27, 3 + 37, 1079 + 27}));
}

TEST_F(FixAreaTest, NegativeDesktopAndAreasWiderThanTheDesktop) {
    StartWithView(300, 300, 2.0f);
    platform.Desktop = {-1600, -300, 1920, 1080};
    form->Picker().SetFixView(true, -1600, -300);
    EXPECT_EQ(S().AreaLeft, -1600);
    EXPECT_EQ(S().AreaTop, -300);

    platform.Desktop = {0, 0, 200, 150};
    platform.Primary = {1920, 1080};
    Arrange([&](ViewState& s) { s.ZoomRate = 1.0f; });
    form->Picker().SetFixView(true, 100, 75);  // area 300 x 223 on a 200 x 150 desktop
    EXPECT_EQ(S().AreaLeft, 200 - 300);
    EXPECT_EQ(S().AreaTop, 150 - 223);
}

TEST_F(FixAreaTest, MovesArePushedInsideAndRecomputeTheOffsets) {
    StartWithView(300, 300, 4.0f);
    form->Picker().SetFixView(true, 0, 1080);
    Arrange([&](ViewState& s) { s.TargetRect = {10, 20, 30, 40}; });
    form->Picker().MoveFixArea("left");
    EXPECT_EQ(S().AreaLeft, 0);
    form->Picker().MoveFixArea("down");
    EXPECT_EQ(S().AreaTop, 1080 - 55);
    form->Picker().MoveFixArea("right");
    EXPECT_EQ(S().AreaLeft, 10);
    Arrange([&](ViewState& s) { s.AreaLeft = -50; });
    form->Picker().MoveFixArea("Left");  // not a direction: still pushed inside
    EXPECT_EQ(S().AreaLeft, 0);
    EXPECT_EQ(S().TargetOffsetX, -10);
    EXPECT_EQ(S().TargetOffsetY, 1080 - 55 - 20);
}

TEST_F(FixAreaTest, TheCommandWhileFixedReleasesWithoutAPick) {
    StartWithView(300, 300, 4.0f);
    form->Picker().SetFixView(true, 500, 400);
    form->RunCommand(CommandId::mmFixViewSw);
    EXPECT_FALSE(S().FixView);
    EXPECT_FALSE(S().Picking);
    EXPECT_EQ(ini->FixViewX, 500);
}

TEST_F(FixAreaTest, StartUpRestoresThePinnedArea) {
    platform.Client = {300, 300};
    Start(
        "[BoundsRect]\r\nLeft=0\r\nTop=0\r\nRight=316\r\nBottom=359\r\n[Zuri]\r\nScaleWidth=300\r\n"
        "ScaleHeight=300\r\nCapRate=40\r\nFixView=1\r\nFixViewX=500\r\nFixViewY=400\r\n");
    EXPECT_TRUE(S().FixView);
    EXPECT_EQ(S().AreaLeft, 500 - 37);
    EXPECT_EQ(S().AreaTop, 400 - 27);
}

TEST_F(FixAreaTest, ArrowShortcutsActOnlyWhileFixedOrProjecting) {
    StartWithView(300, 300, 4.0f);
    Arrange([&](ViewState& s) { s.AreaLeft = 500; });
    form->OnShortcut(CommandId::mmLeft);
    EXPECT_EQ(S().AreaLeft, 500);
    form->Picker().SetFixView(true, 600, 400);
    const int left = S().AreaLeft;
    form->OnShortcut(CommandId::mmLeft);
    EXPECT_EQ(S().AreaLeft, left - 10);
    form->OnHotKey(211);  // Ctrl+Left: only with projection
    EXPECT_EQ(S().AreaLeft, left - 10);
}

}  // namespace
}  // namespace ocu::testing
