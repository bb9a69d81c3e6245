// The fixed display area through the real program: picking it with the mouse on the live
// screen, the view staying on it, moving it with the arrow keys, and getting it back after a
// restart from the settings file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "e2e/ModeProbe.h"
#include "e2e/ViewProbe.h"
#include "image/PixelOps.h"
#include "mainwindow/ViewMath.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

constexpr float kZoom = 2.0f;

class FixAreaE2E : public OnBothEdges<OcumiraE2E> {};

TEST_P(FixAreaE2E, PickedAreaStaysMovesWithArrowsAndSurvivesRestart)
{
    XSession session;
    Magnifier m = MagnifierOverPattern(session, 400, 600, {}, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    const int srcW = TruncDiv(m.View().width, kZoom), srcH = TruncDiv(m.View().height, kZoom);

    // Start the pick from the menu: "区域の指定" is the bar's second title; Enter chooses its
    // first entry "区域の指定←→解除".
    m.ClickView(2, m.View().height - 3);
    ASSERT_TRUE(m.OpenMenuByKeys(1));
    session.KeyCombo("Return");
    ASSERT_TRUE(m.WaitTitleHas("表示を固定する位置を選択してください")) << m.Title();

    // Wine hears of button events only over its own windows, never over the bare X root,
    // so the pick is confirmed as press on the magnifier, drag to the spot, release there:
    // the X server sends the release to the window that took the press.
    const int px = 300, py = 400;
    session.Drag(m.ScreenX(5), m.ScreenY(m.View().height - 5), px, py, 20, false);
    const int halfW = srcW / 2, halfH = srcH / 2;
    const Rect marker{px - halfW, py - halfH, 2 * halfW, 2 * halfH};
    const std::string markerShot = SaveShot(session.GrabRoot(), "fixarea-marker");
    session.Release(1);
    ASSERT_TRUE(m.WaitTitleHas("状態:表示モード")) << m.Title();

    // The marker is gone without a trace: the area and the 4 pixels beyond it show the pattern.
    // (Wine does not put what is drawn on the desktop window's DC onto the X root, so here
    // this only guards against the restore writing wrong pixels back.)
    const Screenshot around = session.Grab(marker.x - 2, marker.y - 2, marker.width + 8, marker.height + 8);
    int traces = 0;
    for (int y = 0; y < around.height; ++y)
        for (int x = 0; x < around.width; ++x)
            traces += XSession::DecodePattern(around.At(x, y)) != std::tuple(around.x + x, around.y + y);
    EXPECT_EQ(traces, 0) << "marker pixels left on the screen; see " << SaveShot(around, "fixarea-trace")
                         << " (during the pick: " << markerShot << ")";

    // The pointer leaves; the view stays on the picked area.
    session.MovePointer(1100, 900);
    const int left = px - srcW / 2, top = py - srcH / 2;
    std::string why;
    EXPECT_TRUE(viewprobe::ViewShowsArea(session, m.View(), left, top, kZoom, &why)) << "after the pick: " << why;

    // The plain arrow keys move it by 10 pixels while the main window has the focus.
    m.ClickView(2, m.View().height - 3);
    session.KeyCombo("Right");
    EXPECT_TRUE(viewprobe::ViewShowsArea(session, m.View(), left + 10, top, kZoom, &why)) << "after →: " << why;
    session.KeyCombo("Down");
    session.KeyCombo("Down");
    EXPECT_TRUE(viewprobe::ViewShowsArea(session, m.View(), left + 10, top + 20, kZoom, &why)) << "after ↓↓: " << why;
    session.KeyCombo("Left");
    session.KeyCombo("Up");
    EXPECT_TRUE(viewprobe::ViewShowsArea(session, m.View(), left, top + 10, kZoom, &why)) << "after ← ↑: " << why;

    ASSERT_TRUE(m.App().Close());
    const std::string ini = m.App().ReadIni().value_or("");
    EXPECT_EQ(IniValue(ini, "FixView"), "1") << ini;
    // The stored centre is the clicked point; the arrow moves are not kept.
    EXPECT_EQ(IniValue(ini, "FixViewX"), std::to_string(px)) << ini;
    EXPECT_EQ(IniValue(ini, "FixViewY"), std::to_string(py)) << ini;

    session.MovePointer(1100, 900);
    Magnifier again(session, ini, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(again.Start());
    EXPECT_EQ(again.View(), m.View());
    EXPECT_TRUE(viewprobe::ViewShowsArea(session, again.View(), left, top, kZoom, &why)) << "after restart: " << why;

    // The same menu entry while the area is fixed releases it at once, without a pick: the
    // view follows the pointer again, the marker at its place.
    again.ClickView(2, again.View().height - 3);
    ASSERT_TRUE(again.OpenMenuByKeys(1));
    session.KeyCombo("Return");
    const int cx = 600, cy = 700;
    session.MovePointer(cx, cy);
    const IntPoint origin = SampleOrigin({cx, cy}, srcW, srcH, IntRect{0, 0, 1280, 1024});
    const Rect markerInView{(cx - origin.X) * 2 - 3, (cy - origin.Y) * 2 - 3, 8, 8};
    EXPECT_TRUE(viewprobe::ViewShowsArea(session, again.View(), origin.X, origin.Y, kZoom, &why, markerInView))
        << "after release: " << why;
    EXPECT_EQ(again.Title().find("選択してください"), std::string::npos) << again.Title();
    ASSERT_TRUE(again.App().Close());
    const std::string released = again.App().ReadIni().value_or("");
    EXPECT_EQ(IniValue(released, "FixView"), "0") << released;
    EXPECT_EQ(IniValue(released, "FixViewX"), std::to_string(px)) << released;
}

OCU_ON_BOTH_EDGES(FixAreaE2E);

}  // namespace
}  // namespace ocu::e2e
