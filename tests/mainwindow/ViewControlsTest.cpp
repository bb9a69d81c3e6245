#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

using ZoomTest = MainWindowTest;

TEST_F(ZoomTest, BandAndRefusalAtTheEndsOfTheRange) {
    Start();
    struct Case {
        float From;
        float Request;
        float Expected;
    };
    const Case cases[] = {
        {2.0f, 0.97f, 1.0f},  // inside the band: exactly one
        {2.0f, 0.9f, 2.0f},   // below: refused
        {2.0f, 16.5f, 2.0f},  // above: refused, not clamped
        {2.0f, 0.95f, 2.0f},  // the float nearest 0.95 lies below the band
        {2.0f, 16.0f, 16.0f},
    };
    for (const Case& c : cases) {
        Arrange([&](ViewState& s) { s.ZoomRate = c.From; });
        form->Controls().SetZoomRate(c.Request);
        EXPECT_EQ(S().ZoomRate, c.Expected) << c.Request;
    }
}

TEST_F(ZoomTest, OneStepCommandsFormTheSumAtFullPrecision) {
    Start();
    Arrange([&](ViewState& s) { s.ZoomRate = 1.95f; });
    form->RunCommand(CommandId::mmDown);
    EXPECT_EQ(S().ZoomRate, 1.0f);
    Arrange([&](ViewState& s) { s.ZoomRate = 15.5f; });
    form->RunCommand(CommandId::mmUP);
    EXPECT_EQ(S().ZoomRate, 15.5f);
    Arrange([&](ViewState& s) { s.ZoomRate = 1.5f; });
    form->RunCommand(CommandId::mmDown);
    EXPECT_EQ(S().ZoomRate, 1.5f);
    form->RunCommand(CommandId::mmRate25);
    EXPECT_EQ(S().ZoomRate, 2.5f);
    EXPECT_NE(platform.Title.find("倍率:2.5倍"), std::string::npos);
}

TEST_F(ZoomTest, HoldingZoomOutFromOnePointThreeStopsAtExactlyOne) {
    Start();
    Arrange([&](ViewState& s) { s.ZoomRate = 1.3f; });
    form->Controls().OnToolButtonDown(CommandId::tbZoomOut);
    EXPECT_EQ(platform.RepeatInterval, 100);
    std::vector<std::string> titles;
    for (int i = 0; i < 5; ++i) {
        form->Controls().timRepeatTimer();
        titles.push_back(platform.Title.substr(0, platform.Title.find("倍 ")));
    }
    EXPECT_EQ(S().ZoomRate, 1.0f);
    EXPECT_NE(titles[0].find("1.2"), std::string::npos);
    EXPECT_NE(titles[1].find("1.1"), std::string::npos);
    EXPECT_NE(titles[2].find("1.0"), std::string::npos);
    form->Controls().OnToolButtonUp(CommandId::tbZoomOut);
    EXPECT_EQ(platform.RepeatInterval, 0);
}

TEST_F(ZoomTest, HoldingZoomInStopsAtTheLastStepBelowSixteen) {
    Start();
    Arrange([&](ViewState& s) { s.ZoomRate = 15.8f; });
    form->Controls().OnToolButtonDown(CommandId::tbZoomUp);
    for (int i = 0; i < 5; ++i) form->Controls().timRepeatTimer();
    EXPECT_GT(S().ZoomRate, 15.9f);
    EXPECT_LE(S().ZoomRate, 16.0f);
}

TEST_F(ZoomTest, ProjectionKeepsTheAreaCentre) {
    StartWithView(300, 361, 2.0f);  // view 300 x 284
    Arrange([&](ViewState& s) {
        s.ProjectionMode = true;
        s.SrcWidth = 150;
        s.SrcHeight = 142;
        s.AreaLeft = 1000;
        s.AreaTop = 500;
        s.TargetRect = {900, 450, 1400, 900};
    });
    form->Controls().SetZoomRate(3.0f);
    EXPECT_EQ(S().SrcWidth, 100);
    EXPECT_EQ(S().AreaLeft, 1025);
    EXPECT_EQ(S().AreaLeft + S().SrcWidth / 2, 1075);
    EXPECT_EQ(S().TargetOffsetX, 125);
    EXPECT_EQ(S().TargetOffsetY, S().AreaTop - 450);
}

using MirrorTest = MainWindowTest;

TEST_F(MirrorTest, FlipsAreExclusiveAndFollowTheCheckMarks) {
    StartWithView(300, 300);
    form->Controls().flipHV(1);
    EXPECT_TRUE(S().FlipH);
    EXPECT_EQ(platform.Frames, 1);  // redrawn at once
    form->Controls().flipHV(1);
    EXPECT_FALSE(S().FlipH);
    form->Controls().flipHV(1);
    form->Controls().flipHV(2);
    EXPECT_FALSE(S().FlipH);
    EXPECT_TRUE(S().FlipV);
    EXPECT_FALSE(platform.Checked[CommandId::mmFlipH]);
    EXPECT_TRUE(platform.Checked[CommandId::mmFlipV]);
    EXPECT_EQ(platform.Status[1], "反転(上下)");
}

TEST_F(MirrorTest, MirroredFrameShowsTheScreenLeftRight) {
    StartWithView(300, 300, 1.0f);
    platform.Window = {2000, 2000, 2300, 2300};
    form->Controls().flipHV(1);
    const IntRect a = platform.LastCaptureRect;
    EXPECT_EQ(platform.Frame.Pixel32(0, 5), platform.Screen(a.Right - 1, a.Top + 5));
    EXPECT_EQ(platform.Frame.Pixel32(299, 5), platform.Screen(a.Left, a.Top + 5));
}

using AngleTest = MainWindowTest;

TEST_F(AngleTest, TypedAnglePaths) {
    StartWithView(300, 300);
    form->Controls().flipHV(1);
    platform.InputAnswers = {std::string("45")};
    form->RunCommand(CommandId::mmFlexRotate);
    EXPECT_EQ(S().RotateAngle, 450);
    EXPECT_FALSE(S().FlipH);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmFlexRotate));
    EXPECT_FALSE(S().CapturePaused);
    EXPECT_TRUE(platform.TopMost);
    EXPECT_EQ(platform.Inputs.back().Title, "任意角度回転");
    EXPECT_EQ(platform.Inputs.back().Prompt, "角度を入力してください(1～359)");
    // Again: back to no rotation, without a box.
    form->RunCommand(CommandId::mmFlexRotate);
    EXPECT_EQ(S().RotateAngle, 0);
    EXPECT_EQ(platform.Inputs.size(), 1u);

    for (const std::optional<std::string>& bad :
         {std::optional<std::string>("abc"), std::optional<std::string>(""), std::optional<std::string>()}) {
        platform.InputAnswers = {bad};
        const auto before = platform.Messages.size();
        form->Controls().mFlexFlipClick();
        ASSERT_EQ(platform.Messages.size(), before + 1);
        EXPECT_EQ(platform.Messages.back().Text, "不正な数値です");
        EXPECT_EQ(platform.Messages.back().Caption, "");
        EXPECT_EQ(S().RotateAngle, 0);
    }
    form->Controls().flipHV(2);
    for (const char* outside : {"0", "360", "-5"}) {
        platform.InputAnswers = {std::string(outside)};
        form->Controls().mFlexFlipClick();
        EXPECT_EQ(S().RotateAngle, 0);
        EXPECT_TRUE(S().FlipV);  // mirroring left alone
        EXPECT_FALSE(S().CapturePaused);
    }
}

TEST_F(AngleTest, HoldingRightTurnTenTicksGivesMinusTenDegrees) {
    Start();
    form->Controls().OnToolButtonDown(CommandId::tbLRotate);
    for (int i = 0; i < 10; ++i) form->Controls().timRepeatTimer();
    EXPECT_EQ(S().RotateAngle, -100);
    EXPECT_EQ(platform.Status[1], "-10°回転");
    form->RunCommand(CommandId::tbReset);
    EXPECT_EQ(S().RotateAngle, 0);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmFlexRotate));  // reset leaves the mark
}

TEST_F(AngleTest, RotationHotKeysStepOneDegree) {
    Start();
    for (int i = 0; i < 5; ++i) form->OnHotKey(302);
    form->OnHotKey(301);
    EXPECT_EQ(S().RotateAngle, 40);
    EXPECT_EQ(platform.Status[1], "4°回転");
}

}  // namespace
}  // namespace ocu::testing
