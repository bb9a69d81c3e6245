// Two monitors, the second one to the left of the primary: the Windows desktop then starts at
// a negative x. The view follows the pointer over both and stops at the desktop's edges, a
// fixed area can lie on the left monitor, and a window left there opens there again (and on
// the primary once that monitor is gone).
//
// The X screen is 2304 x 1024: columns 0-1023 are the left monitor, 1024-2303 the primary
// (Windows x = root x - 1024; the native program's x is the root's). The pattern on the root
// encodes root coordinates, so all expectations are in root coordinates; only what the program
// stores in its own coordinates is converted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "e2e/Harness.h"
#include "e2e/ViewProbe.h"
#include "image/PixelOps.h"
#include "mainwindow/ViewMath.h"

namespace ocu::e2e {
namespace {

using namespace viewprobe;

constexpr int kLeftWidth = 1024;
constexpr int kScreenWidth = kLeftWidth + 1280;

// Settings with the window's outer bounds given in the program's coordinates.
std::string IniWithBounds(const Rect& windows, int capRateTenths, const std::string& extraZuri = "")
{
    std::ostringstream ini;
    ini << "[BoundsRect]\r\nLeft=" << windows.x << "\r\nRight=" << windows.x + windows.width << "\r\nTop=" << windows.y
        << "\r\nBottom=" << windows.y + windows.height << "\r\n[Zuri]\r\nCapRate=" << capRateTenths
        << "\r\nSamplingRate=30\r\n"
        << extraZuri << "[Setting]\r\nFirstRun=0\r\nRunCount=10\r\n";
    return ini.str();
}

class TwoMonitorsE2E : public OnBothEdges<MagnifierE2E> {
protected:
    XSession::Options SessionOptions() const override
    {
        XSession::Options o;
        o.width = kScreenWidth;
        o.leftMonitorWidth = kLeftWidth;
        return o;
    }
    // The program's x of a root x, and back.
    int ProgramX(int rootX) const { return TestedEdge() == Edge::Wine ? rootX - kLeftWidth : rootX; }
    int RootX(int programX) const { return TestedEdge() == Edge::Wine ? programX + kLeftWidth : programX; }
    // Started with its window where the other tests of both programs have it, on the primary.
    bool StartOnThePrimary()
    {
        const Rect b = kWindowBounds;
        return Start(20, IniWithBounds({ProgramX(kLeftWidth + b.x), b.y, b.width, b.height}, 20));
    }
};

// The messages a program shows: under Wine asked of the system; on X the shown windows of
// the native program other than its main window and the windows inside it.
std::string Boxes(const XSession& session, Program& app, Edge edge)
{
    if (edge == Edge::Wine) return Query(session, {"boxes"});
    std::string boxes;
    for (XWindow w : session.WindowsOfProcess(app.Pid())) {
        const std::string title = session.WindowTitle(w);
        if (session.IsShown(w) && !title.empty() && title.rfind(kTitlePrefix, 0) != 0 && title != "TfrmCap")
            boxes += "box " + title + "\n";
    }
    return boxes.empty() ? "boxes none" : boxes;
}

// The window opens on the primary monitor where the settings put it, so Windows' origin is the
// primary's top left; the view then shows, for pointer spots across both monitors, the area
// around the pointer held inside the whole desktop: its left edge is the left monitor's.
TEST_P(TwoMonitorsE2E, ViewFollowsThePointerOverBothMonitorsAndStopsAtTheDesktopEdges)
{
    ASSERT_TRUE(StartOnThePrimary());
    XSession& session = Session();
    EXPECT_EQ(Outer(), (Rect{kLeftWidth + kWindowBounds.x, kWindowBounds.y, kWindowBounds.width, kWindowBounds.height}))
        << "the window is not on the primary monitor where the settings put it";

    struct Spot {
        const char* name;
        int x, y;
    };
    const Spot spots[] = {
        {"left monitor, centre", 512, 512},
        {"desktop left edge", 0, 512},
        {"desktop top-left", 0, 0},
        {"desktop bottom-left", 0, 1023},
        {"left of the seam", kLeftWidth - 1, 300},
        {"right of the seam", kLeftWidth, 700},
        {"primary, left part", 1300, 0},
        {"desktop right edge", kScreenWidth - 1, 100},
        {"desktop bottom-right", kScreenWidth - 1, 1023},
    };
    for (const auto& spot : spots) {
        SCOPED_TRACE(spot.name);
        session.MovePointer(spot.x, spot.y);
        const auto plain = Plain(2.0f, spot.x, spot.y);
        Screenshot shot;
        const auto result = WaitForView(session, View(), PlainPattern(plain), 5s, &shot);
        EXPECT_TRUE(result.Exact()) << result << " (saved " << SaveShot(shot, "two-monitors-view").string() << ")";
        EXPECT_GT(result.compared, static_cast<long>(View().width) * View().height / 50);
        const Rect marker = plain.Marker();
        // Its corner shows the pointer's own pixel where the view's sides are multiples of the
        // zoom; otherwise the enlargement's wider columns and rows may put a neighbour there.
        if (marker.x + marker.width <= View().width && marker.y + marker.height <= View().height) {
            const auto [sx, sy] = plain.Source(marker.x, marker.y);
            if (View().width % 2 == 0 && View().height % 2 == 0) {
                EXPECT_EQ(std::tuple(sx, sy), std::tuple(spot.x, spot.y));
            }
            EXPECT_EQ(shot.At(marker.x, marker.y), XSession::PatternColor(sx, sy) ^ 0xFFFFFF);
        }
    }
    // At the desktop's left edge the area starts at the left monitor's left edge: Windows x -1024.
    EXPECT_EQ(Plain(2.0f, 0, 512).srcX, 0);
    SaveShot(session.GrabRoot(), "two-monitors-desktop");
}

// An area picked on the left monitor stays there, is stored in (negative) Windows coordinates,
// moves with the arrow keys up to the desktop's left edge and no further, and comes back
// after a restart.
TEST_P(TwoMonitorsE2E, FixedAreaOnTheLeftMonitor)
{
    ASSERT_TRUE(StartOnThePrimary());
    XSession& session = Session();
    const Rect view = View();
    const int srcW = TruncDiv(view.width, 2.0f), srcH = TruncDiv(view.height, 2.0f);

    // The pick: the menu's command "区域の指定←→解除" (under Wine posted as the menu sends it;
    // the menu itself, opened with the keyboard, is FixAreaE2E's), then a press on the magnifier
    // dragged to the spot and released there (Wine hears no button over the bare root).
    ChooseCommand(session, TestedEdge(), CommandId::mmFixViewSw);
    ASSERT_TRUE(
        PollUntil([&] { return session.WindowTitle(Window()).find("選択してください") != std::string::npos; }, 10s))
        << session.WindowTitle(Window());

    const int px = srcW / 2 + 14, py = 500;  // root coordinates, near the desktop's left edge
    const int startX = view.x + 5, startY = view.y + view.height - 5;
    session.Drag(startX, startY, px, py, 20);
    ASSERT_TRUE(
        PollUntil([&] { return session.WindowTitle(Window()).find("状態:表示モード") != std::string::npos; }, 10s))
        << session.WindowTitle(Window());

    session.MovePointer(1700, 900);
    const int left = px - srcW / 2, top = py - srcH / 2;
    std::string why;
    EXPECT_TRUE(ViewShowsArea(session, view, left, top, 2.0f, &why)) << "after the pick: " << why;

    // ← moves the area 10 pixels; the second one stops it at the desktop's left edge.
    session.MovePointer(view.x + 2, view.y + view.height - 3);
    session.Click(1);
    session.KeyCombo("Left");
    EXPECT_TRUE(ViewShowsArea(session, view, left - 10, top, 2.0f, &why)) << "after ←: " << why;
    session.KeyCombo("Left");
    EXPECT_TRUE(ViewShowsArea(session, view, 0, top, 2.0f, &why)) << "after ←←: " << why;
    SaveShot(session.GrabRoot(), "two-monitors-fixed");

    ASSERT_TRUE(App().Close(Window()));
    const std::string ini = App().ReadIni().value_or("");
    EXPECT_EQ(IniValue(ini, "Zuri", "FixView"), "1") << ini;
    EXPECT_EQ(IniValue(ini, "Zuri", "FixViewX"), std::to_string(ProgramX(px))) << ini;
    EXPECT_EQ(IniValue(ini, "Zuri", "FixViewY"), std::to_string(py)) << ini;

    Program again(session, ProgramOptions{.ini = ini, .edge = TestedEdge()});
    const XWindow window = session.FindWindowByTitlePrefix(kTitlePrefix);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(PollUntil([&] { return OuterBounds(session, window, TestedEdge()) == Where().window; }, 5s))
        << OuterBounds(session, window, TestedEdge()).value_or(Rect{});
    EXPECT_TRUE(ViewShowsArea(session, view, left, top, 2.0f, &why)) << "after the restart: " << why;
    EXPECT_TRUE(again.Close(window));
}

// A window dragged onto the left monitor is stored with its negative coordinates and opens
// there again, the next time too, without a message.
TEST_P(TwoMonitorsE2E, WindowClosedOnTheLeftMonitorOpensThereAgain)
{
    XSession& session = Session();
    const Rect primary{ProgramX(kLeftWidth + 860), 250, 400, 500};  // the program's coordinates
    Rect left{ProgramX(124), 200, 400, 500};  // wholly on the left monitor; the drag's end decides
    auto onRoot = [&](const Rect& r) { return Rect{RootX(r.x), r.y, r.width, r.height}; };
    auto outer = [&](XWindow window) { return OuterBounds(session, window, TestedEdge()); };
    session.MovePointer(1700, 900);
    std::string ini = IniWithBounds(primary, 20);
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const Rect expected = run == 1 ? primary : left;
        Program app(session, ProgramOptions{.ini = ini, .edge = TestedEdge()});
        const XWindow window = session.FindWindowByTitlePrefix(kTitlePrefix);
        ASSERT_NE(window, 0u) << "the main window did not appear";
        EXPECT_TRUE(PollUntil([&] { return outer(window) == onRoot(expected); }, 5s))
            << "the window is at " << outer(window).value_or(Rect{}) << " on the root, not at " << onRoot(expected);
        const std::string boxes = Boxes(session, app, TestedEdge());
        EXPECT_EQ(boxes.rfind("boxes none", 0), 0u) << "a message was shown: " << boxes;
        // Its view shows the area around the pointer, on the other monitor.
        const int restX = run == 1 ? 300 : 1700, restY = 900;
        session.MovePointer(restX, restY);
        const auto where = LocateView(session, window, 2.0f, restX, restY, 30s, nullptr, kViewTop, TestedEdge());
        ASSERT_TRUE(where) << "the view does not show the area around the pointer; see "
                           << SaveShot(session.GrabRoot(), "two-monitors-window-failed").string();

        if (run == 1) {
            // A press on the view drags the window: across the seam onto the left monitor.
            const int grabX = where->view.x + 40, grabY = where->view.y + 40;
            const int dx = left.x - primary.x, dy = left.y - primary.y;
            session.Drag(grabX, grabY, grabX + dx, grabY + dy, 30, false, 15ms);
            // Where the drag ends depends on when the program took the press (its pointer
            // offset is read then); it must follow the pointer onto the left monitor, whole.
            std::optional<Rect> last, now;
            EXPECT_TRUE(PollUntil(
                [&] {
                    last = now;
                    now = outer(window);
                    return now && now == last && now->x + now->width <= kLeftWidth &&
                           std::abs(now->x - RootX(left.x)) <= 80 && std::abs(now->y - left.y) <= 10;
                },
                5s, 100ms))
                << "dragged to " << now.value_or(Rect{});
            session.Release(1);
            if (now) left = Rect{ProgramX(now->x), now->y, now->width, now->height};
            session.MovePointer(1700, 900);
            SaveShot(session.GrabRoot(), "two-monitors-window-left");
        }
        ASSERT_TRUE(app.Close(window));
        ini = app.ReadIni().value_or("");
        EXPECT_EQ(IniValue(ini, "BoundsRect", "Left"), std::to_string(left.x)) << ini;
        EXPECT_EQ(IniValue(ini, "BoundsRect", "Right"), std::to_string(left.x + left.width)) << ini;
        EXPECT_EQ(IniValue(ini, "BoundsRect", "Top"), std::to_string(left.y)) << ini;
    }
}

// The same settings with the left monitor gone: the window would open out of reach, so it
// opens at the primary's work area (all of this screen) with its stored size, and says nothing.
class TwoMonitorsGoneE2E : public OnBothEdges<OcumiraE2E> {};

TEST_P(TwoMonitorsGoneE2E, WindowKeptOnAMonitorThatIsGoneOpensOnThePrimary)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(1000, 900);
    Program app(session, ProgramOptions{.ini = IniWithBounds({-900, 200, 400, 500}, 20), .edge = TestedEdge()});
    const XWindow window = session.FindWindowByTitlePrefix(kTitlePrefix);
    ASSERT_NE(window, 0u) << "the main window did not appear";
    const auto outer = [&] { return OuterBounds(session, window, TestedEdge()); };
    EXPECT_TRUE(PollUntil(
        [&] {
            return outer() == Rect{0, 0, 400, 500};
        },
        5s))
        << "the window is at " << outer().value_or(Rect{});
    const std::string boxes = Boxes(session, app, TestedEdge());
    EXPECT_EQ(boxes.rfind("boxes none", 0), 0u) << "a message was shown: " << boxes;
    ASSERT_TRUE(app.Close(window));
    const std::string ini = app.ReadIni().value_or("");
    EXPECT_EQ(IniValue(ini, "BoundsRect", "Left"), "0") << ini;
    EXPECT_EQ(IniValue(ini, "BoundsRect", "Right"), "400") << ini;
}

OCU_ON_BOTH_EDGES(TwoMonitorsE2E);
OCU_ON_BOTH_EDGES(TwoMonitorsGoneE2E);

}  // namespace
}  // namespace ocu::e2e
