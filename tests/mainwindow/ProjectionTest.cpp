#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

constexpr WindowHandle kTarget = 42;
constexpr WindowHandle kSelf = 7;

class ProjectionTest : public MainWindowTest {
protected:
    void SetUpTarget(const std::string& cls = "Edit") {
        platform.WindowAt = [](IntPoint) { return kTarget; };
        platform.Classes[kTarget] = cls;
        platform.Texts[kTarget] = "memo";
        platform.Rects[kTarget] = {400, 300, 900, 800};
    }
    // Zoom 4, projection on with the target offsets 100 / 50.
    void StartProjecting(const std::string& cls = "Edit") {
        StartWithView(300, 300, 4.0f);
        SetUpTarget(cls);
        form->Projector().ToggleProjection();
        ASSERT_TRUE(S().ProjectionMode);
        Arrange([&](ViewState& s) {
            s.TargetOffsetX = 100;
            s.TargetOffsetY = 50;
        });
        platform.Sent.clear();
        platform.Injected.clear();
    }
    static ShiftState Held(bool left, bool right = false) {
        ShiftState s;
        s.Left = left;
        s.Right = right;
        return s;
    }
};

TEST_F(ProjectionTest, SwitchingOnNamesTheTargetAndPinsTheAreaAroundThePointer) {
    StartWithView(300, 300, 4.0f);
    SetUpTarget();
    Arrange([&](ViewState& s) {
        s.SrcWidth = 75;
        s.SrcHeight = 55;
        s.SurfaceDrawMode = true;
    });
    platform.Cursor = {600, 500};
    form->Projector().ToggleProjection();
    EXPECT_TRUE(S().ProjectionMode);
    EXPECT_FALSE(S().SurfaceDrawMode);
    EXPECT_EQ(platform.Captions[CommandId::mmClassName], "<クラス名>\"Edit\"");
    EXPECT_EQ(platform.Captions[CommandId::mmWindowText], "<ウィンドウテキスト>\"memo\"");
    EXPECT_EQ(S().AreaLeft, 600 - 37);
    EXPECT_EQ(S().TargetOffsetX, 600 - 37 - 400);
    EXPECT_NE(platform.Title.find("状態:表示固定 & 操作投影モードです]:Edit"), std::string::npos);
    form->Projector().ToggleProjection();
    EXPECT_FALSE(S().ProjectionMode);
}

TEST_F(ProjectionTest, RefusalsSayWhyAndLeaveProjectionOff) {
    StartWithView(300, 300, 4.0f);
    form->Projector().ToggleProjection();  // nothing under the pointer
    EXPECT_FALSE(S().ProjectionMode);
    EXPECT_FALSE(form->MenuChecked(CommandId::mmFix));
    EXPECT_EQ(platform.Messages.back().Text, "対象が取得できません 0");
    EXPECT_EQ(platform.Messages.back().Caption, "対象取得");

    platform.WindowAt = [](IntPoint) { return kSelf; };
    platform.Classes[kSelf] = "TfrmCap";
    form->Projector().ToggleProjection();
    EXPECT_FALSE(S().ProjectionMode);
    EXPECT_EQ(platform.Messages.back().Text, "自分自身を選択しています");
    EXPECT_FALSE(S().CapturePaused);
    EXPECT_EQ(platform.Pauses.size(), 1u) << "the pointer is asked for once more before the message";
}

// A desktop that asks its user before input may go elsewhere: nothing changes until it allows,
// and a refusal or a desktop without the means says so.
TEST_F(ProjectionTest, WithoutTheDesktopsLeaveNothingChanges) {
    StartWithView(300, 300, 4.0f);
    SetUpTarget();
    Arrange([](ViewState& s) { s.SurfaceDrawMode = true; });
    const std::pair<InputAccess, const char*> cases[] = {
        {InputAccess::Asking, nullptr}, {InputAccess::Refused, kInputRefused}, {InputAccess::Unavailable, kInputUnavailable}};
    for (const auto& [access, message] : cases) {
        platform.Access = access;
        const std::size_t told = platform.Messages.size();
        form->Projector().ToggleProjection();
        EXPECT_FALSE(S().ProjectionMode);
        EXPECT_TRUE(S().SurfaceDrawMode);
        ASSERT_EQ(platform.Messages.size(), told + (message ? 1 : 0));
        if (message) EXPECT_EQ(platform.Messages.back().Text, message);
    }
    platform.Access = InputAccess::Ready;
    form->Projector().ToggleProjection();
    EXPECT_TRUE(S().ProjectionMode);
}

// A pointer position that still names this window (an older event of its own taken late) is
// asked for again; the window the pointer has moved on to becomes the target, without a message.
TEST_F(ProjectionTest, AStalePointerOverItsOwnWindowIsAskedForAgain) {
    StartWithView(300, 300, 4.0f);
    SetUpTarget();
    platform.Classes[kSelf] = "TfrmCap";
    platform.WindowAt = [](IntPoint p) { return p.X >= 800 ? kSelf : kTarget; };
    platform.Cursor = {900, 200};
    platform.OnPause = [&] { platform.Cursor = {600, 500}; };
    const size_t messages = platform.Messages.size();
    form->Projector().ToggleProjection();
    EXPECT_TRUE(S().ProjectionMode);
    EXPECT_EQ(S().TargetWnd, kTarget);
    EXPECT_EQ(platform.Messages.size(), messages);
    EXPECT_EQ(platform.Captions[CommandId::mmClassName], "<クラス名>\"Edit\"");
    EXPECT_EQ(S().AreaLeft, 600 - S().SrcWidth / 2);
    // A pointer found over another window at once is not asked for again.
    form->Projector().ToggleProjection();
    platform.Pauses.clear();
    form->Projector().ToggleProjection();
    EXPECT_TRUE(S().ProjectionMode);
    EXPECT_TRUE(platform.Pauses.empty());
}

TEST_F(ProjectionTest, WorkedMappings) {
    StartProjecting();
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    ASSERT_EQ(platform.Sent.size(), 1u);
    EXPECT_EQ(platform.Sent[0].Msg, ProjectedMessage::LeftDown);
    EXPECT_EQ(platform.Sent[0].Keys, ProjectedKeys{MouseButton::Left});
    EXPECT_EQ(platform.Sent[0].X, 102);
    EXPECT_EQ(platform.Sent[0].Y, 52);

    Arrange([&](ViewState& s) { s.TargetClass = "MSAWT_Comp_Class"; });
    form->Projector().ForwardMouse(10, 71, {}, ProjectedMessage::Move);
    EXPECT_EQ(platform.Sent.back().X, 103);

    Arrange([&](ViewState& s) {
        s.TargetClass = "Edit";
        s.ZoomRate = 1.5f;
        s.TargetOffsetX = 0;
    });
    form->Projector().ForwardMouse(10, 71, {}, ProjectedMessage::Move);
    EXPECT_EQ(platform.Sent.back().X, 6);
}

TEST_F(ProjectionTest, AFramedTargetTakesThePointInItsClientArea) {
    StartProjecting();
    platform.ClientCorner[kTarget] = {8, 31};
    form->FormMouseMove({}, 10, 71);
    EXPECT_EQ(platform.Sent.back().X, 102 - 8);
    EXPECT_EQ(platform.Sent.back().Y, 52 - 31);
}

TEST_F(ProjectionTest, ATargetOutOfReachIsToldOnceAndProjectionStaysOn) {
    StartProjecting();
    platform.TargetRefuses = true;
    for (int i = 0; i < 2; ++i) form->FormMouseMove({}, 10 + i, 71);
    // A refused press lets go of the opposite button at once: the box takes its release.
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown, InjectedButton::RightUp}));
    EXPECT_EQ(platform.Sent.size(), 3u) << "not held back as from a hung target";
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].Text, kTargetOutOfReach);
    EXPECT_EQ(platform.Messages[0].Caption, "対象取得");
    EXPECT_TRUE(S().ProjectionMode);
    EXPECT_FALSE(S().CapturePaused);
}

// The physical button injected is the one that arrives as the logical button meant.
TEST_F(ProjectionTest, SwappedButtonsInjectTheOtherPhysicalButton) {
    StartProjecting();
    platform.ButtonsSwapped = true;
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    form->FormMouseDown(MouseButton::Right, Held(true, true), 10, 71);  // our own press: dropped
    EXPECT_EQ(platform.Sent.size(), 1u) << "the target got the press twice";
    form->Projector().ToggleProjection();
    form->OnMenuOpen(CommandId::MenuAtaris);
    form->RunCommand(CommandId::mmFix);  // the pick holds the logical right button
    form->FormMouseUp(MouseButton::Left, {}, 0, 0);
    const auto L = InjectedButton::LeftDown, U = InjectedButton::LeftUp;
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{L, U, L, U}));
}

TEST_F(ProjectionTest, LeftDragSequenceWithTheReturningSyntheticButtons) {
    StartProjecting();
    ShiftState ctrlShift = Held(true);
    ctrlShift.Ctrl = ctrlShift.Shift = true;
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown}));
    form->FormMouseDown(MouseButton::Right, Held(true, true), 10, 71);  // our own press comes back: dropped
    ShiftState both = ctrlShift;
    both.Right = true;
    form->FormMouseMove(both, 14, 75);
    form->FormMouseUp(MouseButton::Left, Held(false, true), 14, 75);
    form->FormMouseUp(MouseButton::Right, {}, 14, 75);  // the synthetic release arrives after
    std::vector<std::pair<ProjectedMessage, ProjectedKeys>> seen;
    for (const SentMessage& m : platform.Sent) seen.emplace_back(m.Msg, m.Keys);
    const std::vector<std::pair<ProjectedMessage, ProjectedKeys>> expected = {
        {ProjectedMessage::LeftDown, {MouseButton::Left}},
        {ProjectedMessage::Move, {MouseButton::Left, true, true}},
        {ProjectedMessage::LeftUp, {}},
        {ProjectedMessage::RightUp, {}}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown, InjectedButton::RightUp}));
    EXPECT_FALSE(form->Projector().LeftDragForwarded());
}

// A quick click: its release is handled before the press injected for it comes back.
TEST_F(ProjectionTest, AnInjectedPressArrivingAfterTheReleaseIsStillDropped) {
    StartProjecting();
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    form->FormMouseUp(MouseButton::Left, {}, 10, 71);
    form->FormMouseDown(MouseButton::Right, Held(false, true), 10, 71);
    form->FormMouseUp(MouseButton::Right, {}, 10, 71);
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::RightDown, InjectedButton::RightUp}));
    ASSERT_EQ(platform.Sent.size(), 3u);
    EXPECT_EQ(platform.Sent[1].Msg, ProjectedMessage::LeftUp);
    form->FormMouseDown(MouseButton::Right, Held(false, true), 10, 71);  // the user's own
    EXPECT_EQ(platform.Sent.back().Msg, ProjectedMessage::RightDown);
}

TEST_F(ProjectionTest, RightDragMirrorsWithSyntheticLeftEventsAndNoReleaseAboveTheTop) {
    StartProjecting();
    Arrange([&](ViewState& s) { s.TargetOffsetY = -20; });
    form->FormMouseDown(MouseButton::Right, Held(false, true), 10, 71);
    form->FormMouseDown(MouseButton::Left, Held(true, true), 10, 71);  // dropped
    form->FormMouseUp(MouseButton::Right, Held(true), 10, 71);         // maps above the top: not sent
    form->FormMouseUp(MouseButton::Left, {}, 10, 71);
    ASSERT_EQ(platform.Sent.size(), 2u);
    EXPECT_EQ(platform.Sent[0].Msg, ProjectedMessage::RightDown);
    EXPECT_EQ(platform.Sent[1].Msg, ProjectedMessage::LeftUp);
    EXPECT_EQ(platform.Sent[1].Y, -18);  // a left release there is sent with a negative y
    EXPECT_EQ(platform.Injected, (std::vector<InjectedButton>{InjectedButton::LeftDown, InjectedButton::LeftUp}));
}

TEST_F(ProjectionTest, MovesPauseForATargetThatDoesNotAnswerButPressesStillGo) {
    StartProjecting();
    platform.TargetAnswers = false;
    form->FormMouseMove({}, 10, 71);  // waits out its time-out once
    for (int i = 0; i < 5; ++i) form->FormMouseMove({}, 11 + i, 71);
    ASSERT_EQ(platform.Sent.size(), 1u);
    form->FormMouseDown(MouseButton::Left, Held(true), 12, 71);
    EXPECT_EQ(platform.Sent.back().Msg, ProjectedMessage::LeftDown);
    platform.TargetAnswers = true;
    for (int i = 0; i < 10; ++i) Tick();
    form->FormMouseMove(Held(true), 13, 71);
    EXPECT_EQ(platform.Sent.back().Msg, ProjectedMessage::Move);
}

TEST_F(ProjectionTest, AnUnansweredSendQuietsMovesForExactlyTheQuietTicks) {
    EXPECT_EQ(kProjectionQuietTicks, 10);
    StartProjecting();
    platform.TargetAnswers = false;
    form->FormMouseMove({}, 10, 71);
    ASSERT_EQ(platform.Sent.size(), 1u);
    for (int i = 1; i < kProjectionQuietTicks; ++i) {
        Tick();
        form->FormMouseMove({}, 10 + i, 71);
    }
    EXPECT_EQ(platform.Sent.size(), 1u) << "a move went out during the quiet ticks";
    // Presses and releases are not held back: each may be the one the target waits for.
    form->FormMouseDown(MouseButton::Left, Held(true), 12, 71);
    form->FormMouseUp(MouseButton::Left, {}, 12, 71);
    ASSERT_EQ(platform.Sent.size(), 3u);
    EXPECT_EQ(platform.Sent[1].Msg, ProjectedMessage::LeftDown);
    EXPECT_EQ(platform.Sent[2].Msg, ProjectedMessage::LeftUp);
    // The unanswered release started the quiet afresh; it ends on its last tick.
    platform.TargetAnswers = true;
    for (int i = 1; i < kProjectionQuietTicks; ++i) Tick();
    form->FormMouseMove({}, 30, 71);
    EXPECT_EQ(platform.Sent.size(), 3u);
    Tick();
    form->FormMouseMove({}, 31, 71);
    ASSERT_EQ(platform.Sent.size(), 4u);
    EXPECT_EQ(platform.Sent.back().Msg, ProjectedMessage::Move);
    // Answered, moves flow again without a pause.
    form->FormMouseMove({}, 32, 71);
    EXPECT_EQ(platform.Sent.size(), 5u);
}

TEST_F(ProjectionTest, EverySendWaitsAtMostTheSendTimeOut) {
    EXPECT_EQ(kProjectionSendTimeoutMs, 1000);
    StartProjecting();
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    form->FormMouseMove(Held(true), 11, 71);
    form->FormMouseUp(MouseButton::Left, {}, 11, 71);
    ASSERT_EQ(platform.Sent.size(), 3u);
    for (const SentMessage& m : platform.Sent) EXPECT_EQ(m.TimeoutMs, kProjectionSendTimeoutMs);
}

TEST_F(ProjectionTest, EndingProjectionMidDragReleasesTheSyntheticButton) {
    StartProjecting();
    form->FormMouseDown(MouseButton::Left, Held(true), 10, 71);
    form->Projector().ToggleProjection();
    EXPECT_FALSE(form->Projector().LeftDragForwarded());
    EXPECT_EQ(platform.Injected.back(), InjectedButton::RightUp);
}

TEST_F(ProjectionTest, PointsReachTheTargetThroughMirrorAndTurn) {
    StartProjecting();
    Arrange([&](ViewState& s) {
        s.TargetOffsetX = 0;
        s.TargetOffsetY = 0;
        s.ZoomRate = 1.0f;
    });
    // With zoom 1 the view point (ViewWidth-1-x) under a left-right mirror reaches x.
    Arrange([&](ViewState& s) { s.FlipH = true; });
    form->Projector().ForwardMouse(300 - 1 - 20, 61 + 30, {}, ProjectedMessage::Move);
    EXPECT_EQ(platform.Sent.back().X, 21);  // 2*Trunc(W/2) - x: the mirror of the layer mapping
    EXPECT_EQ(platform.Sent.back().Y, 30);
    Arrange([&](ViewState& s) {
        s.FlipH = false;
        s.RotateAngle = 1800;
    });
    form->Projector().ForwardMouse(150 + 10, 61 + 111, {}, ProjectedMessage::Move);
    EXPECT_EQ(platform.Sent.back().X, 150 - 9);
    EXPECT_EQ(platform.Sent.back().Y, 111);
}

TEST_F(ProjectionTest, MenuPickOutlinesTheWindowUnderThePointerAndConfirmsWithLeft) {
    StartWithView(300, 300, 4.0f);
    SetUpTarget();
    platform.Window = {50, 60, 400, 500};
    form->OnMenuOpen(CommandId::MenuAtaris);
    form->RunCommand(CommandId::mmFix);
    EXPECT_TRUE(S().Picking);
    EXPECT_EQ(platform.Cursor, (IntPoint{50, 60}));
    EXPECT_NE(platform.Title.find("投影先を選択してください：右クリックでキャンセル"), std::string::npos);
    platform.Cursor = {600, 500};
    form->FormMouseMove({}, 0, 0);
    EXPECT_EQ(platform.TargetFrames.back(), (IntRect{402, 302, 896, 796}));
    form->FormMouseUp(MouseButton::Left, {}, 0, 0);
    EXPECT_TRUE(S().ProjectionMode);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmFix));
    EXPECT_GE(platform.DesktopInvalidations, 1);
    EXPECT_EQ(platform.Injected.back(), InjectedButton::RightUp);
}

TEST_F(ProjectionTest, WithoutAModeThePressDragsTheWindow) {
    StartWithView(300, 300);
    platform.Window = {100, 100, 400, 400};
    platform.Cursor = {150, 170};
    form->FormMouseDown(MouseButton::Left, Held(true), 50, 70);
    platform.Cursor = {250, 200};
    form->FormMouseMove(Held(true), 150, 100);
    EXPECT_EQ(platform.Window.Left, 200);
    EXPECT_EQ(platform.Window.Top, 130);
    EXPECT_EQ(platform.Shape, CursorShape::Hand);
    form->FormMouseUp(MouseButton::Left, {}, 150, 100);
    EXPECT_FALSE(S().Dragging);
    // A right-button drag released outside the window never reports its release:
    // the next move without a button ends the drag.
    form->FormMouseDown(MouseButton::Right, Held(false, true), 50, 70);
    platform.Cursor = {400, 400};
    form->FormMouseMove({}, 150, 100);
    EXPECT_FALSE(S().Dragging);
    EXPECT_EQ(platform.Window.Left, 200);
}

}  // namespace
}  // namespace ocu::testing
