#include "image/PixelOps.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

using StartupTest = MainWindowTest;

TEST_F(StartupTest, StartsTopmostWithStoredBoundsAndFirstTexts) {
    platform.Window = {0, 0, 10, 10};
    Start("[BoundsRect]\r\nLeft=40\r\nRight=540\r\nTop=30\r\nBottom=430\r\n[Zuri]\r\nCapRate=25\r\n");
    EXPECT_TRUE(platform.TopMost);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmTopMost));
    EXPECT_EQ(platform.Window, (IntRect{40, 30, 540, 430}));
    EXPECT_EQ(platform.CaptureInterval, 100);
    EXPECT_EQ(platform.Title, "Lumivane Ocumira [倍率:2.5倍 回転:  0度 状態:表示モード]");
    EXPECT_EQ(platform.Status[0], "表面レイヤ：off");
    EXPECT_EQ(platform.Status[1], "");
    EXPECT_EQ(platform.HotKeys.size(), 15u);
}

TEST_F(StartupTest, BoundsOnNoMonitorMoveToThePrimaryWorkAreaKeepingTheirSize) {
    platform.OnMonitor = [](IntRect r) { return r.Left >= 0; };
    Start("[BoundsRect]\r\nLeft=-3000\r\nRight=-2500\r\nTop=100\r\nBottom=400\r\n");
    EXPECT_EQ(platform.Window, (IntRect{0, 0, 500, 300}));
}

TEST_F(StartupTest, StoredSamplingRateOutsideTheRangeRunsAtTheNearestBoundButStaysInTheFile) {
    Start("[Zuri]\r\nSamplingRate=0\r\n");
    EXPECT_EQ(platform.CaptureInterval, 10);
    EXPECT_EQ(ini->SamplingRate, 0);
    form->AppMinimize();
    EXPECT_EQ(platform.CaptureInterval, 0);
    EXPECT_TRUE(platform.HotKeys.empty());
    form->AppRestore();
    EXPECT_EQ(platform.CaptureInterval, 10);
    EXPECT_EQ(platform.HotKeys.size(), 15u);
}

TEST_F(StartupTest, WindowSizeCommandsSetTheViewOrRefuseWithTheMessage) {
    Start();
    form->RunCommand(CommandId::mm300x300);
    EXPECT_EQ(S().ViewWidth, 300);
    EXPECT_EQ(S().ViewHeight, 223);
    form->RunCommand(CommandId::mm200x200);
    EXPECT_EQ(S().ViewHeight, 123);
    const auto messagesBefore = platform.Messages.size();
    form->ChgWindowSize(9, 300);
    form->ChgWindowSize(1921, 300);
    form->ChgWindowSize(300, 1081);
    ASSERT_EQ(platform.Messages.size(), messagesBefore + 3);
    EXPECT_EQ(platform.Messages.back().Text, "値が大きすぎるか小さすぎます");
    EXPECT_EQ(platform.Messages.back().Caption, "メッセージ");
    EXPECT_EQ(S().ViewWidth, 200);
}

TEST_F(StartupTest, ExitStoresZoomThenBoundsAndRaisesRunCountByTwoWhenNothingChanged) {
    Start();
    const int before = ini->RunCount;
    form->FormDestroy();
    form->DestroyWnd();
    EXPECT_TRUE(ini->SaveOnExit());
    EXPECT_EQ(ini->RunCount, before + 2);
    EXPECT_NE(store.text->find("Left=300"), std::string::npos);
    EXPECT_TRUE(platform.HotKeys.empty());
}

TEST_F(StartupTest, AFailedSaveAtExitIsToldAndTheProgramStillEnds) {
    Start();
    store.failWrites = true;
    support::ArrangeView(*form, [&](ViewState& s) { s.ZoomRate = 3.0f; });
    form->FormDestroy();
    ASSERT_FALSE(platform.Messages.empty());
    EXPECT_EQ(platform.Messages.back().Text, "C:\\Ocumira\\Ocumira.ini に書き込めません");
}

// --- the tick -------------------------------------------------------------------

struct GeometryCase {
    IntPoint Cursor;
    IntRect ExpectedArea;
    IntPoint Marker;
};

class TickGeometryTest : public MainWindowTest, public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(TickGeometryTest, SamplesTheClampedAreaAndMarksThePointer) {
    StartWithView(300, 300, 4.0f);  // view 300 x 223
    platform.Cursor = GetParam().Cursor;
    platform.Window = {2000, 2000, 2300, 2300};
    Tick();
    EXPECT_EQ(S().SrcWidth, 75);
    EXPECT_EQ(S().SrcHeight, 55);
    EXPECT_EQ(platform.LastCaptureRect, GetParam().ExpectedArea);
    // The marker inverts the 4 x 4 block at its position and nothing left of it.
    const IntRect a = platform.LastCaptureRect;
    auto plain = [&](int vx, int vy) {
        return platform.Screen(a.Left + NearestSource(vx, 300, 75), a.Top + NearestSource(vy, 223, 55));
    };
    const IntPoint m = GetParam().Marker;
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(platform.Frame.Pixel32(m.X + d, m.Y + d), ~plain(m.X + d, m.Y + d));
    }
    EXPECT_EQ(platform.Frame.Pixel32(m.X - 1, m.Y), plain(m.X - 1, m.Y));
    EXPECT_EQ(platform.Frame.Pixel32(m.X + 4, m.Y), plain(m.X + 4, m.Y));
}

INSTANTIATE_TEST_SUITE_P(Examples, TickGeometryTest,
                         ::testing::Values(GeometryCase{{800, 600}, {763, 573, 838, 628}, {148, 108}},
                                           GeometryCase{{10, 500}, {0, 473, 75, 528}, {40, 108}},
                                           GeometryCase{{1915, 1075}, {1846, 1026, 1921, 1081}, {276, 196}}));

TEST_F(MainWindowTest, TickWritesCoordinatesOnlyWhenThePointerIsOutsideTheWindow) {
    StartWithView(300, 300);
    platform.Window = {0, 0, 400, 400};
    platform.Cursor = {800, 60};
    Tick();
    EXPECT_EQ(platform.Status[2], "マウス座標( 800,  60)");
    platform.Cursor = {10, 10};
    Tick();
    EXPECT_EQ(platform.Status[2], "マウス座標( 800,  60)");
    EXPECT_EQ(platform.Frames, 2);  // the window magnifies itself meanwhile
    platform.Cursor = {-5, -1920};  // a monitor left of or above the primary
    Tick();
    EXPECT_EQ(platform.Status[2], "マウス座標(  -5,-1920)");
}

TEST_F(MainWindowTest, AStillPictureIsShownOnceAndAnyChangeShowsItAgain) {
    StartWithView(300, 300, 2.0f);
    platform.Window = {0, 0, 400, 400};
    platform.Cursor = {800, 600};
    Tick();
    Tick();
    EXPECT_EQ(platform.Frames, 1) << "nothing changed: nothing to show";
    platform.Cursor = {801, 600};
    Tick();
    EXPECT_EQ(platform.Frames, 2) << "the pointer moved";
    Arrange([&](ViewState& s) { s.RotateAngle = 450; });
    Tick();
    Tick();
    EXPECT_EQ(platform.Frames, 3) << "turned, then still";
    platform.Screen = [](int x, int y) { return static_cast<std::uint32_t>(x * 3 + y); };
    Tick();
    EXPECT_EQ(platform.Frames, 4) << "the screen changed";
    Arrange([&](ViewState& s) { s.InvertColors = true; });
    Tick();
    EXPECT_EQ(platform.Frames, 5) << "inverted";
    Arrange([&](ViewState& s) { s.ViewLeft += 10; });
    Tick();
    EXPECT_EQ(platform.Frames, 6) << "the view moved in the window";
    Arrange([&](ViewState& s) { s.SurfaceVisible = true; });
    Tick();
    Tick();
    EXPECT_EQ(platform.Frames, 8) << "drawing on the layer changes nothing the tick can compare";
}

TEST_F(MainWindowTest, PausedTickDoesNothingAndAZeroZoomBecomesOne) {
    StartWithView(300, 300);
    Arrange([&](ViewState& s) { s.CapturePaused = true; });
    Tick();
    EXPECT_EQ(platform.Frames, 0);
    Arrange([&](ViewState& s) {
        s.CapturePaused = false;
        s.ZoomRate = 0.0f;
    });
    Tick();
    EXPECT_EQ(S().ZoomRate, 1.0f);
    EXPECT_EQ(S().SrcWidth, 300);
}

TEST_F(MainWindowTest, NegativeDesktopCoordinatesClampToTheLeftMonitor) {
    StartWithView(300, 300, 2.0f);
    platform.Desktop = {-1280, -200, 1920, 1080};
    platform.Cursor = {-1275, -190};
    Tick();
    EXPECT_EQ(platform.LastCaptureRect.Left, -1280);
    EXPECT_EQ(platform.LastCaptureRect.Top, -200);
}

TEST_F(MainWindowTest, ViewWithoutRoomAndFailingCaptureKeepTheLastPicture) {
    StartWithView(300, 300);
    Tick();
    platform.CaptureFails = true;
    Tick();
    EXPECT_EQ(platform.Frames, 1);
    platform.CaptureFails = false;
    Arrange([&](ViewState& s) { s.ViewHeight = -5; });
    Tick();
    EXPECT_EQ(platform.Frames, 1);
}

TEST_F(MainWindowTest, TitleAndPanelsDescribeZoomAngleAndState) {
    Start();
    Arrange([&](ViewState& s) {
        s.ZoomRate = 1.5f;
        s.RotateAngle = 450;
    });
    form->UpdateStatus();
    EXPECT_EQ(platform.Title, "Lumivane Ocumira [倍率:1.5倍 回転: 45度 状態:表示モード]");
    EXPECT_EQ(platform.Status[1], "45°回転");
    Arrange([&](ViewState& s) {
        s.RotateAngle = -15;
        s.ProjectionMode = true;
        s.TargetClass = "Edit";
    });
    form->UpdateStatus();
    EXPECT_EQ(platform.Title, "Lumivane Ocumira [倍率:1.5倍 回転: -2度 状態:表示固定 & 操作投影モードです]:Edit");
    EXPECT_EQ(platform.Status[1], "-2°回転");
    Arrange([&](ViewState& s) {
        s.SurfaceDrawMode = true;
        s.SurfaceVisible = true;
    });
    form->UpdateStatus();
    EXPECT_EQ(platform.Status[0], "表面レイヤ：on");
    EXPECT_EQ(platform.Status[3], "Ctrl+ドラッグ：消しゴム");
    EXPECT_NE(platform.Title.find("状態:表面レイヤ描き込みモードです]"), std::string::npos);
}

TEST_F(MainWindowTest, ProjectionTickFollowsTheTargetAndPullsTheWindowForward) {
    StartWithView(300, 300, 2.0f);
    Arrange([&](ViewState& s) {
        s.ProjectionMode = true;
        s.TargetWnd = 7;
        s.AreaLeft = 100;
        s.AreaTop = 50;
    });
    platform.Rects[7] = {10, 20, 500, 400};
    platform.Window = {0, 0, 400, 400};
    platform.Cursor = {5, 5};
    platform.Active = false;
    Tick();
    EXPECT_EQ(S().TargetRect, (IntRect{10, 20, 500, 400}));
    EXPECT_EQ(platform.LastCaptureRect.Left, 100);
    EXPECT_EQ(platform.ForegroundCalls, 1);
}

}  // namespace
}  // namespace ocu::testing
