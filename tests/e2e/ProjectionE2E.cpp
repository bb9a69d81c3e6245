// Operation projection through the real program: Ctrl+E pins the area around the pointer and
// takes the window under it as the target; a drag on the magnified view reaches that window
// as mouse messages at the points the view shows; the magnifier refuses itself as a target
// and keeps running when the target hangs.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "e2e/ModeProbe.h"
#include "image/PixelOps.h"
#include "mainwindow/ViewMath.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

constexpr float kZoom = 3.0f;
constexpr uint32_t kMouseMove = 0x0200, kLButtonDown = 0x0201, kLButtonUp = 0x0202, kRButtonUp = 0x0205;
constexpr Rect kTarget{200, 200, 400, 300};

struct ViewPoint {
    int x, y;
};

class ProjectionE2E : public OnBothEdges<OcumiraE2E> {};

StartSettings ZoomThree()
{
    StartSettings s;
    s.capRateTenths = 30;
    return s;
}

// What the view shows at (vx, vy) with the area at (left, top) over the white target and the
// pattern around it.
uint32_t ShownColor(const Rect& view, float zoom, int left, int top, int vx, int vy)
{
    const int sx = left + NearestSource(vx, view.width, TruncDiv(view.width, zoom));
    const int sy = top + NearestSource(vy, view.height, TruncDiv(view.height, zoom));
    return kTarget.Contains(sx, sy) ? 0xFFFFFF : XSession::PatternColor(sx, sy);
}

// The area may lie one pixel off (left, top): the pointer Wine read when projection started
// may lag one pixel behind the last move, and the corner a test decoded to learn the area can
// come from the last frame before the area was pinned.
bool ViewShowsPinnedArea(const Magnifier& m, int left, int top, std::string* why, float zoom = kZoom)
{
    auto shows = [&](const Screenshot& shot, int l, int t) {
        for (int vy = 0; vy < shot.height; vy += 2)
            for (int vx = 0; vx < shot.width; vx += 2)
                if (shot.At(vx, vy) != ShownColor(m.View(), zoom, l, t, vx, vy)) {
                    const auto [x, y] = XSession::DecodePattern(shot.At(vx, vy));
                    *why = "view " + std::to_string(vx) + "," + std::to_string(vy) + " shows " + std::to_string(x) +
                           "," + std::to_string(y) + " (area expected at " + std::to_string(left) + "," +
                           std::to_string(top) + " +-1)";
                    return false;
                }
        return true;
    };
    return WaitFor(
        "the view to show the pinned area",
        [&] {
            const Screenshot shot = m.GrabView();
            std::string first;
            for (int dy : {0, -1, 1})
                for (int dx : {0, -1, 1}) {
                    if (shows(shot, left + dx, top + dy)) return true;
                    if (dx == 0 && dy == 0) first = *why;
                }
            *why = first;
            return false;
        },
        10s, 50ms);
}

// Ctrl+E with the pointer at (px, py) over the target: projection starts with the area
// centred there. Returns the area's top-left. The target's log tells when Wine has seen the
// pointer arrive (a key pressed before that would take the window the pointer came from).
// (clientX, clientY) is where the target's client area starts on the screen.
std::tuple<int, int> StartProjectionAt(XSession& session, Magnifier& m, const std::filesystem::path& log, int px,
                                       int py, int clientX = kTarget.x, int clientY = kTarget.y)
{
    session.MovePointer(px - 1, py);
    session.MovePointer(px, py);
    if (!log.empty()) {
        EXPECT_TRUE(PollUntil(
            [&] {
                const auto all = ReadTargetLog(log);
                return !all.empty() && all.back().x == px - clientX && all.back().y == py - clientY;
            },
            10s))
            << "the target never saw the pointer";
    }
    session.KeyCombo("ctrl+e");
    EXPECT_TRUE(m.WaitTitleHas("状態:表示固定 & 操作投影モードです]:OcuTargetClass")) << m.Title();
    // The area is centred on the pointer. Its top-left lies on the pattern beside the target,
    // so the view's corner tells where it really is; the pointer Wine read may lag one pixel
    // behind the last move, which is all the tolerance allowed. A frame that followed the
    // pointer before the area was pinned can show just that pixel too: the corner counts
    // once it has stayed put for a while.
    const int srcW = TruncDiv(m.View().width, kZoom), srcH = TruncDiv(m.View().height, kZoom);
    const int wantX = px - srcW / 2, wantY = py - srcH / 2;
    int left = wantX, top = wantY;
    auto since = std::chrono::steady_clock::now();
    EXPECT_TRUE(PollUntil(
        [&] {
            const auto [x, y] = XSession::DecodePattern(m.GrabView().At(0, 0));
            const auto now = std::chrono::steady_clock::now();
            if (x != left || y != top) since = now;
            std::tie(left, top) = std::tuple(x, y);
            return std::abs(left - wantX) <= 1 && std::abs(top - wantY) <= 1 && now - since >= 400ms;
        },
        10s))
        << "the area starts at " << left << "," << top << ", not around " << wantX << "," << wantY;
    return {left, top};
}

TEST_P(ProjectionE2E, DragOnTheViewReachesTheTargetWhereTheViewShowsIt)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(400, 700);
    Magnifier m(session, SettingsText(ZoomThree()), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());

    // Over its own view the magnifier refuses: a message box, and projection stays off.
    // The key waits until the view shows the program has read the pointer there: the view
    // magnifies the area around the pointer, so its picture changes once it does. A key sent
    // before that (seen on a loaded machine) finds the pointer still out on the desktop.
    const Screenshot outside = m.GrabView();
    session.MovePointer(m.ScreenX(m.View().width / 2), m.ScreenY(m.View().height / 2));
    ASSERT_TRUE(PollUntil([&] { return m.GrabView().pixels != outside.pixels; }, 10s))
        << "the view did not follow the pointer onto itself";
    session.KeyCombo("ctrl+e");
    const XWindow box = session.FindWindowByTitlePrefix("対象取得", 10s);
    ASSERT_NE(box, 0u) << "no message box after Ctrl+E over the view; title " << m.Title();
    session.KeyCombo("Return");
    EXPECT_TRUE(PollUntil([&] { return session.WindowsByTitlePrefix("対象取得").empty(); }, 10s))
        << "Enter did not close the message box";
    EXPECT_EQ(m.Title().find("操作投影"), std::string::npos) << m.Title();

    Program target(session,
                   Program::Helper("helper_target",
                                   {std::to_string(kTarget.x), std::to_string(kTarget.y), std::to_string(kTarget.width),
                                    std::to_string(kTarget.height), "target.log"},
                                   TestedEdge()));
    ASSERT_TRUE(PollUntil([&] { return session.Grab(kTarget.x + 5, kTarget.y + 5, 1, 1).At(0, 0) == 0xFFFFFF; }, 20s));

    // Near the target's top-left corner, so the pinned area shows some pattern beside it and
    // its place can be read from the view.
    const auto [left, top] = StartProjectionAt(session, m, target.Folder() / "target.log", 230, 240);
    std::string why;
    EXPECT_TRUE(ViewShowsPinnedArea(m, left, top, &why))
        << "the area is not pinned at " << left << "," << top << ": " << why;
    const std::string shot = SaveShot(session.GrabRoot(), "projection-mode");

    // The target point of a view point: undo the zoom around the magnified pixel's middle and
    // add where the area lies in the target.
    const int half = FloorHalf(kZoom);
    auto targetPoint = [&](const ViewPoint& v) {
        return std::tuple(TruncDiv(v.x - half, kZoom) + left - kTarget.x,
                          TruncDiv(v.y - half, kZoom) + top - kTarget.y);
    };

    // A left drag across the view.
    const auto log = target.Folder() / "target.log";
    std::vector<ViewPoint> path;
    for (int i = 0; i <= 12; ++i) path.push_back({150 + i * 12, 120 + i * 7});
    session.MovePointer(m.ScreenX(path[0].x), m.ScreenY(path[0].y));
    // A move without a button held goes on with no flags.
    ASSERT_TRUE(PollUntil(
        [&] {
            const auto all = ReadTargetLog(log);
            return !all.empty() && all.back().msg == kMouseMove &&
                   std::tuple(all.back().x, all.back().y) == targetPoint(path.front());
        },
        10s))
        << "the move onto the view did not reach the target at the point it shows";
    EXPECT_EQ(ReadTargetLog(log).back().wParam, 0u);
    const size_t before = ReadTargetLog(log).size();
    session.Drag(m.ScreenX(path.front().x), m.ScreenY(path.front().y), m.ScreenX(path.back().x),
                 m.ScreenY(path.back().y), static_cast<int>(path.size()) - 1);
    // The release goes on, and after it the synthetic right release injected with it, which
    // comes back to the view while the pointer is there. X drops the release of a button that
    // is not down, and the projection's own pointer never pressed the right one: on the native
    // program the left release is the last, and no right button message follows it.
    const uint32_t last = TestedEdge() == Edge::Wine ? kRButtonUp : kLButtonUp;
    const auto arrived = [&](uint32_t msg) {
        const auto all = ReadTargetLog(log);
        return std::any_of(all.begin() + before, all.end(), [&](const TargetMessage& t) { return t.msg == msg; });
    };
    EXPECT_TRUE(PollUntil([&] { return arrived(last); }, 10s)) << "no " << std::hex << last << " reached the target";
    if (TestedEdge() == Edge::Native) {
        EXPECT_TRUE(StaysTrue([&] { return !arrived(kRButtonUp); }, 500ms))
            << "a lone right release reached the target";
    }
    const auto all = ReadTargetLog(log);
    std::vector<TargetMessage> got(all.begin() + before, all.end());

    const int srcW = TruncDiv(m.View().width, kZoom), srcH = TruncDiv(m.View().height, kZoom);
    auto shownPoint = [&](const ViewPoint& v) {
        return std::tuple(left + NearestSource(v.x, m.View().width, srcW) - kTarget.x,
                          top + NearestSource(v.y, m.View().height, srcH) - kTarget.y);
    };

    // From the press on: moves that reached the target before it are not part of the drag.
    const auto press =
        std::find_if(got.begin(), got.end(), [](const TargetMessage& t) { return t.msg == kLButtonDown; });
    ASSERT_NE(press, got.end()) << "no WM_LBUTTONDOWN reached the target";
    got.erase(got.begin(), press);
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got.front().msg, kLButtonDown);
    EXPECT_EQ(got.front().wParam, 1u) << "MK_LBUTTON";
    EXPECT_EQ(std::tuple(got.front().x, got.front().y), targetPoint(path.front()));
    size_t up = 0;
    while (up < got.size() && got[up].msg != kLButtonUp) ++up;
    ASSERT_LT(up, got.size());
    EXPECT_EQ(got[up].wParam, 0u);
    EXPECT_EQ(std::tuple(got[up].x, got[up].y), targetPoint(path.back()));
    size_t moves = 0;
    for (size_t i = 1; i < up; ++i) {
        EXPECT_EQ(got[i].msg, kMouseMove) << i;
        EXPECT_EQ(got[i].wParam, 1u) << "moves carry MK_LBUTTON only; message " << i;
        const bool onPath = std::any_of(path.begin(), path.end(), [&](const ViewPoint& v) {
            return targetPoint(v) == std::tuple(got[i].x, got[i].y);
        });
        EXPECT_TRUE(onPath) << "move " << got[i] << " is no point of the drag";
        moves += got[i].msg == kMouseMove;
    }
    EXPECT_GE(moves, 3u) << "the drag's moves were not projected";
    if (TestedEdge() == Edge::Wine && up + 1 < got.size()) {
        EXPECT_EQ(got[up + 1], (TargetMessage{kRButtonUp, 0, got[up].x, got[up].y}));
    } else if (TestedEdge() == Edge::Wine) {
        ADD_FAILURE() << "no WM_RBUTTONUP after the WM_LBUTTONUP";
    }

    // Each point sent is, within one magnified pixel's rounding, the target point the view
    // shows under the pointer.
    for (const ViewPoint& v : path) {
        const auto [tx, ty] = targetPoint(v);
        const auto [sx, sy] = shownPoint(v);
        EXPECT_LE(std::abs(tx - sx), 1) << "view " << v.x << "," << v.y;
        EXPECT_LE(std::abs(ty - sy), 1) << "view " << v.x << "," << v.y;
    }
    std::printf("projection screenshot: %s\n", shot.c_str());

    // The view is still live after the drag: Ctrl+A keeps the area's centre at the new zoom.
    session.KeyCombo("ctrl+a");
    ASSERT_TRUE(m.WaitTitleHas("倍率:3.1倍")) << m.Title();
    {
        const float next = static_cast<float>(static_cast<long double>(kZoom) + static_cast<long double>(0.1f));
        const int nl = left + srcW / 2 - TruncDiv(m.View().width, next) / 2;
        const int nt = top + srcH / 2 - TruncDiv(m.View().height, next) / 2;
        EXPECT_TRUE(ViewShowsPinnedArea(m, nl, nt, &why, next)) << "after the drag and Ctrl+A: " << why;
    }

    // Ctrl+E again ends it; the view follows the pointer again.
    session.KeyCombo("ctrl+e");
    EXPECT_TRUE(m.WaitTitleHas("状態:表示モード]")) << m.Title();
}

// A target with a caption and a frame takes client coordinates: a press on the view's picture
// of one of its pixels arrives at that pixel, not a frame and a caption away from it.
TEST_P(ProjectionE2E, PressOnAFramedTargetArrivesAtThePixelTheViewShows)
{
    XSession session;
    session.PaintPattern();
    Magnifier m(session, SettingsText(ZoomThree()), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    Program target(
        session, Program::Helper("helper_target", {"200", "200", "400", "300", "target.log", "framed"}, TestedEdge()));
    const auto log = target.Folder() / "target.log";
    TargetMessage client{};  // message 0: the client area's corner on the screen
    ASSERT_TRUE(WaitFor(
        "a framed target",
        [&] {
            for (const TargetMessage& t : ReadTargetLog(log))
                if (t.msg == 0) client = t;
            return client.wParam == 1 && session.Grab(client.x + 5, client.y + 5, 1, 1).At(0, 0) == 0xFFFFFF;
        },
        20s));
    const auto [left, top] = StartProjectionAt(session, m, log, client.x + 10, client.y + 10, client.x, client.y);
    const ViewPoint v{m.View().width / 2 + 61, m.View().height / 2 + 47};
    const int half = FloorHalf(kZoom);
    session.MovePointer(m.ScreenX(v.x), m.ScreenY(v.y));
    session.Click(1);
    std::vector<TargetMessage> got;
    const auto isPress = [](const TargetMessage& t) { return t.msg == kLButtonDown; };
    ASSERT_TRUE(WaitFor(
        "the projected press",
        [&] {
            got = ReadTargetLog(log);
            return std::any_of(got.begin(), got.end(), isPress);
        },
        10s));
    const auto press = std::find_if(got.begin(), got.end(), isPress);
    // A window manager may still move the frame after it first placed it: the press is
    // measured from where the client stood when it came.
    for (auto t = got.begin(); t != press; ++t)
        if (t->msg == 0) client = *t;
    const auto want = std::tuple(TruncDiv(v.x - half, kZoom) + left - client.x, TruncDiv(v.y - half, kZoom) + top - client.y);
    EXPECT_EQ(std::prev(press)->msg, kMouseMove);  // the projected move onto the point
    for (const TargetMessage& t : {*std::prev(press), *press})
        EXPECT_EQ(std::tuple(t.x, t.y), want) << t << " (area at " << left << "," << top << ", client at " << client.x
                                              << "," << client.y << ")";
}

TEST_P(ProjectionE2E, HungTargetDoesNotFreezeTheMagnifier)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(400, 700);
    Magnifier m(session, SettingsText(ZoomThree()), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());

    // The pointer waits where the target will be. The target answers until it gets its first
    // left press, and hangs inside it: projection is started at no hurry, and the first click
    // on the view, projected to the target, makes it hang.
    session.MovePointer(230, 240);
    Program target(session,
                   Program::Helper("helper_target",
                                   {std::to_string(kTarget.x), std::to_string(kTarget.y), std::to_string(kTarget.width),
                                    std::to_string(kTarget.height), "target.log", "hangonclick"},
                                   TestedEdge()));
    ASSERT_TRUE(WaitFor(
        "the target's white window",
        [&] { return session.Grab(kTarget.x + 5, kTarget.y + 5, 1, 1).At(0, 0) == 0xFFFFFF; }, 20s));
    // Under Wine a key reaches the system (and so the hot keys) only through the program
    // whose X window has the keyboard focus, and a hung program would swallow every key. So
    // the magnifier takes the focus back from the new window before the target hangs; on
    // Windows hot keys do not depend on the focused program at all.
    ASSERT_EQ(std::system(("DISPLAY=" + session.DisplayName() + " xdotool windowactivate " +
                           std::to_string(m.Window()) + " >/dev/null 2>&1")
                              .c_str()),
              0);
    const auto log = target.Folder() / "target.log";
    const auto [left, top] = StartProjectionAt(session, m, log, 230, 240);
    std::string why;
    ASSERT_TRUE(ViewShowsPinnedArea(m, left, top, &why)) << why;

    using Clock = std::chrono::steady_clock;
    // Input on the view goes to the hung target; then Ctrl+A must still change the zoom and
    // the title in bounded time.
    auto zoomUpTakes = [&](const std::string& want) {
        const auto t0 = Clock::now();
        session.KeyCombo("ctrl+a");
        const bool ok = PollUntil([&] { return m.ZoomText() == want; }, 30s);
        const auto took = std::chrono::duration_cast<Milliseconds>(Clock::now() - t0);
        EXPECT_TRUE(ok) << "zoom " << want << " never shown; title " << m.Title();
        return took;
    };
    session.MovePointer(m.ScreenX(150), m.ScreenY(120));
    session.Click(1);
    ASSERT_TRUE(WaitFor(
        "the target to take the projected press (and hang in it)",
        [&] {
            for (const TargetMessage& t : ReadTargetLog(log))
                if (t.msg == 0x0201) return true;
            return false;
        },
        20s));
    const auto afterClick = zoomUpTakes("3.1");
    session.MovePointer(m.ScreenX(140), m.ScreenY(125));
    const auto afterMove = zoomUpTakes("3.2");
    for (int i = 0; i < 5; ++i) session.MovePointer(m.ScreenX(150 + 10 * i), m.ScreenY(130));
    const auto afterMoves = zoomUpTakes("3.3");
    std::printf("hung target: zoom shown %lld ms after a click, %lld ms after a move, %lld ms after five moves\n",
                static_cast<long long>(afterClick.count()), static_cast<long long>(afterMove.count()),
                static_cast<long long>(afterMoves.count()));
    // A click is three messages (press, release, the synthetic right release): at most a
    // second each while the target is only slow, then none once it counts as hung. The
    // limits leave room for a loaded machine; a magnifier that waited on every message
    // without limit would not answer at all.
    EXPECT_LT(afterClick, 10000ms);
    EXPECT_LT(afterMove, 5000ms);
    EXPECT_LT(afterMoves, 10000ms);

    // The view keeps updating: each step of the zoom kept the area's centre, so the view now
    // shows the smaller area around the same point.
    int areaLeft = left, areaTop = top;
    float zoom = kZoom;
    for (int step = 0; step < 3; ++step) {
        const float next = static_cast<float>(static_cast<long double>(zoom) + static_cast<long double>(0.1f));
        areaLeft += TruncDiv(m.View().width, zoom) / 2 - TruncDiv(m.View().width, next) / 2;
        areaTop += TruncDiv(m.View().height, zoom) / 2 - TruncDiv(m.View().height, next) / 2;
        zoom = next;
    }
    EXPECT_TRUE(ViewShowsPinnedArea(m, areaLeft, areaTop, &why, zoom))
        << "the view did not follow the zoom to 3.3 (area " << areaLeft << "," << areaTop << "): " << why;
    EXPECT_TRUE(m.App().Running());
}

OCU_ON_BOTH_EDGES(ProjectionE2E);

}  // namespace
}  // namespace ocu::e2e
