// The system-wide hot keys through the real program: they act while another program has the
// focus, all fifteen are held while the magnifier runs and let go while it is minimised, and
// a combination held by another program is reported once and left to the menu shortcut.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>

#include "e2e/EdgeSteps.h"
#include "e2e/ModeProbe.h"
#include "mainwindow/ViewMath.h"
#include "pipeline/FramePipeline.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

constexpr int kCursorX = 400, kCursorY = 600;

class HotKeysE2E : public OnBothEdges<OcumiraE2E> {};

std::string Joined(const std::vector<std::string>& states)
{
    std::string all;
    for (size_t i = 0; i < states.size(); ++i) all += std::string(kHotKeyCombos[i]) + "=" + states[i] + " ";
    return all;
}

bool AllHotKeys(const XSession& session, Edge edge, const std::string& state, std::string* seen)
{
    return PollUntil(
        [&] {
            const auto states = HotKeyStates(session, edge);
            *seen = Joined(states);
            return std::all_of(states.begin(), states.end(), [&](const std::string& s) { return s == state; });
        },
        20s, 100ms);
}

// The view the program should show while following the pointer at (kCursorX, kCursorY) over
// the pattern, rendered by the core from the same screen pixels.
Image ExpectedView(const XSession& session, const Rect& view, float zoom, bool flipH, bool grid)
{
    const int srcW = TruncDiv(view.width, zoom), srcH = TruncDiv(view.height, zoom);
    const IntPoint origin = SampleOrigin({kCursorX, kCursorY}, srcW, srcH, IntRect{0, 0, 1280, 1024});
    const Screenshot area = session.Grab(origin.X, origin.Y, srcW, srcH);
    Image capture(srcW, srcH, PixelFormat::Bits32);
    for (int y = 0; y < srcH; ++y)
        for (int x = 0; x < srcW; ++x) capture.SetPixel32(x, y, area.At(x, y));
    Image frame(view.width, view.height, PixelFormat::Bits32);
    RenderParams p = ViewRenderParams(view, srcW, srcH, zoom);
    p.FlipH = flipH;
    p.GridVisible = grid;
    p.GridUnit = 60;
    p.CursorX = kCursorX;
    p.CursorY = kCursorY;
    p.SrcX = origin.X;
    p.SrcY = origin.Y;
    RenderFrame(capture, frame, p);
    return frame;
}

bool ViewMatches(const Magnifier& m, const Image& want, std::string* why)
{
    int wrong = 0;
    const bool ok = PollUntil(
        [&] {
            const Screenshot shot = m.GrabView();
            wrong = 0;
            for (int y = 0; y < shot.height; ++y)
                for (int x = 0; x < shot.width; ++x)
                    if (shot.At(x, y) != (want.Pixel32(x, y) & 0xFFFFFF) && ++wrong <= 6) {
                        const auto [sx, sy] = XSession::DecodePattern(shot.At(x, y));
                        const auto [wx, wy] = XSession::DecodePattern(want.Pixel32(x, y) & 0xFFFFFF);
                        if (wrong == 1) why->clear();
                        *why += "(" + std::to_string(x) + "," + std::to_string(y) + " shows " + std::to_string(sx) +
                                "," + std::to_string(sy) + " not " + std::to_string(wx) + "," + std::to_string(wy) +
                                ") ";
                    }
            return wrong == 0;
        },
        10s, 50ms);
    if (!ok) *why = std::to_string(wrong) + " pixels differ, " + *why;
    return ok;
}

bool RunOk(const XSession& session, const std::string& command)
{
    const std::string line = "DISPLAY=" + session.DisplayName() + " " + command + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

TEST_P(HotKeysE2E, ActForAnotherFocusedProgramAndPauseWhileMinimised)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(kCursorX, kCursorY);
    Magnifier m(session, SettingsText({}), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    const Rect view = m.View();

    // Another program takes the focus; the pointer goes back over the pattern.
    Program other(session, Program::Helper("helper_target", {"100", "100", "150", "100", "other.log"}, TestedEdge()));
    ASSERT_TRUE(PollUntil([&] { return session.Grab(110, 110, 1, 1).At(0, 0) == 0xFFFFFF; }, 20s));
    session.MovePointer(150, 150);
    session.Click(1);
    session.MovePointer(kCursorX, kCursorY);

    std::string seen;
    EXPECT_TRUE(AllHotKeys(session, TestedEdge(), "taken", &seen)) << "while running: " << seen;

    std::string why;
    ASSERT_TRUE(ViewMatches(m, ExpectedView(session, view, 2.0f, false, false), &why)) << "plain view: " << why;
    session.KeyCombo("ctrl+a");
    ASSERT_TRUE(PollUntil([&] { return m.ZoomText() == "2.1"; }, 10s)) << m.Title();
    // The zoom steps by the single-precision 0.1, summed at extended precision.
    auto stepped = [](float rate, float delta) {
        return static_cast<float>(static_cast<long double>(rate) + static_cast<long double>(delta));
    };
    const float zoom = stepped(2.0f, 0.1f);
    EXPECT_TRUE(ViewMatches(m, ExpectedView(session, view, zoom, false, false), &why)) << "at 2.1: " << why;
    session.KeyCombo("ctrl+d");
    EXPECT_TRUE(ViewMatches(m, ExpectedView(session, view, zoom, true, false), &why)) << "mirrored: " << why;
    session.KeyCombo("ctrl+g");
    EXPECT_TRUE(ViewMatches(m, ExpectedView(session, view, zoom, true, true), &why)) << "grid: " << why;
    SaveShot(session.GrabRoot(), "hotkeys-mirror-grid");

    // Minimised, the magnifier lets go of every combination and none of them acts.
    ASSERT_TRUE(RunOk(session, "xdotool windowminimize " + std::to_string(m.Window())));
    EXPECT_TRUE(PollUntil([&] { return !session.IsShown(m.Window()); }, 10s));
    EXPECT_TRUE(AllHotKeys(session, TestedEdge(), "free", &seen)) << "while minimised: " << seen;
    session.KeyCombo("ctrl+a");
    session.KeyCombo("ctrl+g");
    // Asking again gives the keys time to be delivered before the window comes back.
    EXPECT_TRUE(AllHotKeys(session, TestedEdge(), "free", &seen)) << "after keys while minimised: " << seen;

    // Restored, it holds them again, and they act again.
    ASSERT_TRUE(RunOk(session, "xdotool windowactivate " + std::to_string(m.Window())));
    EXPECT_TRUE(PollUntil([&] { return session.IsShown(m.Window()); }, 10s));
    EXPECT_TRUE(AllHotKeys(session, TestedEdge(), "taken", &seen)) << "after restore: " << seen;
    EXPECT_EQ(m.ZoomText(), "2.1") << "Ctrl+A acted while minimised";
    session.KeyCombo("ctrl+s");
    EXPECT_TRUE(PollUntil([&] { return m.ZoomText() == "2.0"; }, 10s)) << m.Title();
    // Still mirrored with the grid: the Ctrl+G pressed while minimised did nothing. (2.1 - 0.1
    // in single precision is just below 2, which shows in the marker's size and place.)
    EXPECT_TRUE(ViewMatches(m, ExpectedView(session, view, stepped(zoom, -0.1f), true, true), &why))
        << "after restore: " << why;

    ASSERT_TRUE(m.App().Close());
    EXPECT_EQ(IniValue(m.App().ReadIni().value_or(""), "CapRate"), "20");
}

TEST_P(HotKeysE2E, CombinationHeldElsewhereIsReportedOnceAndLeftToTheMenuShortcut)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(kCursorX, kCursorY);
    // Another program holds Ctrl+A for a few seconds from before the magnifier starts.
    Program holder(session, Program::Helper("helper_query", {"hold", "2", "65", "6", "hold.txt"}, TestedEdge()));
    ASSERT_TRUE(PollUntil(
        [&] {
            std::ifstream in(holder.Folder() / "hold.txt");
            std::string line;
            return std::getline(in, line) && line.rfind("hotkey free", 0) == 0;
        },
        30s))
        << "the holder did not get Ctrl+A";

    Magnifier m(session, SettingsText({}), TestedEdge());
    const XWindow box = session.FindWindowByTitlePrefix("ホットキー", 30s);
    ASSERT_NE(box, 0u) << "no message about the hot key held elsewhere";
    // Its text (which X cannot read back) names Ctrl+A; which combination failed is checked
    // below through what the magnifier holds.
    SaveShot(session.GrabRoot(), "hotkeys-held-message");
    session.KeyCombo("Return");
    ASSERT_TRUE(PollUntil([&] { return session.WindowsByTitlePrefix("ホットキー").empty(); }, 10s));
    ASSERT_NO_FATAL_FAILURE(m.Start());
    // Once only: the next ticks do not bring it back.
    StaysTrue([&] { return session.WindowsByTitlePrefix("ホットキー").empty(); }, 500ms);
    EXPECT_TRUE(session.WindowsByTitlePrefix("ホットキー").empty()) << "the message came back";

    // The other fourteen are the magnifier's; Ctrl+A is free once the holder has gone, and the
    // magnifier does not take it later.
    ASSERT_TRUE(holder.WaitForExit(20s));
    const auto states = HotKeyStates(session, TestedEdge());
    for (size_t i = 0; i < states.size(); ++i) EXPECT_EQ(states[i], i == 0 ? "free" : "taken") << kHotKeyCombos[i];

    // With the magnifier focused, Ctrl+A is now its menu shortcut: plus one, not plus 0.1.
    m.ClickView(2, m.View().height - 3);
    session.KeyCombo("ctrl+a");
    EXPECT_TRUE(PollUntil([&] { return m.ZoomText() == "3.0"; }, 10s)) << m.Title();
}

OCU_ON_BOTH_EDGES(HotKeysE2E);

// The system delivers a hot key while one of the program's boxes waits for an answer; the
// program ignores it then instead of opening a second box over the first.
class HotKeyBoxE2E : public OnBothEdges<OcumiraE2E> {};

TEST_P(HotKeyBoxE2E, KeyWhileABoxIsOpenOpensNoSecondBox)
{
    XSession session;
    Magnifier m = MagnifierOverPattern(session, kCursorX, kCursorY, {}, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    constexpr std::string_view kAngleBox = "任意角度回転";
    session.KeyCombo("ctrl+t");
    ASSERT_NE(session.FindWindowByTitlePrefix(kAngleBox, 10s), 0u) << "Ctrl+T opened no angle box";
    session.KeyCombo("ctrl+t");
    EXPECT_FALSE(PollUntil([&] { return session.WindowsByTitlePrefix(kAngleBox).size() > 1; }, 2s))
        << "a second angle box opened over the first";
    session.TypeText("45\n");
    ASSERT_TRUE(PollUntil([&] { return session.WindowsByTitlePrefix(kAngleBox).empty(); }, 10s));
}

OCU_ON_BOTH_EDGES(HotKeyBoxE2E);

}  // namespace
}  // namespace ocu::e2e
