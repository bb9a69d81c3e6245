// The surface layer through the real program: strokes dragged on the view show in the pen
// colour over white screen content, turn with the view, and go with a clear.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "e2e/ModeProbe.h"
#include "image/LineRaster.h"
#include "mainwindow/ViewMath.h"
#include "pipeline/FramePipeline.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

constexpr float kZoom = 2.0f;
constexpr uint32_t kBlue = 0x0000FF;  // the pen colour 0xFF0000 (0x00BBGGRR) on the screen

class SurfaceE2E : public OnBothEdges<OcumiraE2E> {};

struct Stroke {
    int x0, y0, x1, y1;  // view coordinates; straight horizontal or vertical
};

// The frame the program should show: the pinned area is all white, so the picture is the
// layer alone, enlarged and turned by the core's own pipeline.
Image ExpectedView(const Rect& view, const std::vector<Stroke>& strokes, int angle)
{
    const int srcW = TruncDiv(view.width, kZoom), srcH = TruncDiv(view.height, kZoom);
    Image capture(srcW, srcH, PixelFormat::Bits32);
    for (int y = 0; y < srcH; ++y)
        for (int x = 0; x < srcW; ++x) capture.SetPixel32(x, y, 0xFFFFFF);
    Image layer(view.width, view.height, PixelFormat::Bits32);
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) layer.SetPixel32(x, y, 0xFFFFFF);
    for (const Stroke& s : strokes)
        DrawLine(layer, s.x0, s.y0, s.x1, s.y1, 1, ColorToPixel(PixelFormat::Bits32, 0xFF0000));
    Image frame(view.width, view.height, PixelFormat::Bits32);
    RenderParams p = ViewRenderParams(view, srcW, srcH, kZoom);
    p.RotateAngle = angle;
    p.SurfaceLayer = &layer;
    p.SurfaceDrawMode = true;
    RenderFrame(capture, frame, p);
    return frame;
}

int Mismatches(const Screenshot& shot, const Image& want, std::string* first)
{
    int wrong = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.At(x, y) != (want.Pixel32(x, y) & 0xFFFFFF) && ++wrong <= 3)
                *first += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
    return wrong;
}

bool ViewMatches(const Magnifier& m, const Image& want, std::string* why)
{
    int wrong = 0;
    const bool ok = PollUntil(
        [&] {
            why->clear();
            wrong = Mismatches(m.GrabView(), want, why);
            return wrong == 0;
        },
        10s, 50ms);
    if (!ok) *why = std::to_string(wrong) + " pixels differ, first at " + *why;
    return ok;
}

void Drag(XSession& session, const Magnifier& m, const Stroke& s)
{
    session.Drag(m.ScreenX(s.x0), m.ScreenY(s.y0), m.ScreenX(s.x1), m.ScreenY(s.y1));
}

TEST_P(SurfaceE2E, StrokesShowInBlueTurnWithTheViewAndClear)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(1100, 900);
    // The area is pinned around (300, 300) from the start; a white window will lie under it
    // (strokes are ANDed onto the picture, so only over white do they show in their colour).
    Magnifier m(session, SettingsText(PinnedAt(300, 300)), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    Program white(session, Program::Helper("helper_target", {"100", "100", "500", "450", "white.log"}, TestedEdge()));
    const Rect view = m.View();
    std::string why;
    ASSERT_TRUE(ViewMatches(m, ExpectedView(view, {}, 0), &why)) << "the view is not all white: " << why;

    // Ctrl+F2 reaches the magnifier as a hot key while the white window has the focus. Under
    // Wine keys reach the hot keys only through a Wine window with the X focus: wait until the
    // new window has it, or the magnifier still does.
    ASSERT_TRUE(WaitFor(
        "the keyboard focus on the white window or the magnifier",
        [&] {
            const XWindow focus = session.FocusedWindow();
            return focus != 0 && (focus == m.Window() || session.WindowTitle(focus).rfind("OcuTarget", 0) == 0);
        },
        20s));
    session.KeyCombo("ctrl+F2");
    ASSERT_TRUE(m.WaitTitleHas("状態:表面レイヤ描き込みモードです")) << m.Title();

    // An L of two strokes, so that a turn of the view cannot look like the unturned picture.
    const std::vector<Stroke> strokes{{40, 60, 200, 60}, {60, 90, 60, 230}};
    for (const Stroke& s : strokes) Drag(session, m, s);
    const bool drawn = ViewMatches(m, ExpectedView(view, strokes, 0), &why);
    const Screenshot strokeShot = m.GrabView();
    const std::string strokePath = SaveShot(session.GrabRoot(), "surface-stroke");
    EXPECT_TRUE(drawn) << why << "; see " << strokePath;
    // The dragged points themselves are blue (the line's end pixel is not painted). Along a
    // side of the view that is not a multiple of the zoom the enlargement has an extra row (or
    // column) to spread, and the magnified pixels of the strokes sit one further on.
    const int dx = view.width % static_cast<int>(kZoom) != 0, dy = view.height % static_cast<int>(kZoom) != 0;
    for (const Stroke& s : strokes)
        for (int i = 0; i < 8; ++i) {
            const int x = s.x0 + (s.x1 - s.x0) * i / 8, y = s.y0 + (s.y1 - s.y0) * i / 8;
            EXPECT_EQ(strokeShot.At(x + dx, y + dy), kBlue) << "at view " << x << "," << y;
        }

    // Ten one-degree turns (Shift+Left) turn the strokes with the picture.
    for (int i = 0; i < 10; ++i) session.KeyCombo("shift+Left");
    ASSERT_TRUE(m.WaitTitleHas("回転: 10度")) << m.Title();
    const bool turned = ViewMatches(m, ExpectedView(view, strokes, 100), &why);
    const std::string turnedPath = SaveShot(session.GrabRoot(), "surface-stroke-turned");
    EXPECT_TRUE(turned) << why << "; see " << turnedPath;

    // Ctrl+Del, a menu shortcut of the focused main window (the drags activated it), clears.
    session.KeyCombo("ctrl+Delete");
    EXPECT_TRUE(ViewMatches(m, ExpectedView(view, {}, 100), &why)) << "after the clear: " << why;
    EXPECT_TRUE(m.App().Running());
}

// The Ctrl eraser is four pixels wide: across a band of strokes it clears four rows, the
// extra one above the pointer's row, as a GDI pen of width 4 does.
TEST_P(SurfaceE2E, TheCtrlEraserClearsABandFourPixelsWide)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(1100, 900);
    StartSettings settings = PinnedAt(300, 300);
    settings.capRateTenths = 10;  // one view pixel per layer pixel
    Magnifier m(session, SettingsText(settings), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    Program white(session, Program::Helper("helper_target", {"100", "100", "500", "450", "white.log"}, TestedEdge()));
    ASSERT_TRUE(PollUntil([&] { return m.GrabView().At(120, 104) == 0xFFFFFF; }, 20s)) << "the view is not white";
    session.KeyCombo("ctrl+F2");
    ASSERT_TRUE(m.WaitTitleHas("状態:表面レイヤ描き込みモードです")) << m.Title();

    for (int y = 98; y <= 110; ++y) Drag(session, m, {40, y, 200, y});
    ASSERT_TRUE(PollUntil([&] { return m.GrabView().At(120, 110) == kBlue; }, 10s)) << "the strokes do not show";
    session.HoldKey("ctrl", true);
    Drag(session, m, {60, 104, 180, 104});
    session.HoldKey("ctrl", false);

    auto band = [&](const Screenshot& shot) {
        std::string rows;
        for (int y = 98; y <= 110; ++y)
            rows += shot.At(120, y) == kBlue ? 'b' : shot.At(120, y) == 0xFFFFFF ? '.' : '?';
        return rows;
    };
    std::string seen;
    EXPECT_TRUE(PollUntil([&] { return (seen = band(m.GrabView())) == "bbbb....bbbbb"; }, 10s))
        << "rows 98 to 110 at column 120: " << seen;
    EXPECT_TRUE(m.App().Running());
}

// On a 256-colour screen the pen draws as on any other: no error box, and the stroke shows
// in a blue of the screen's palette.
TEST_P(SurfaceE2E, PenDrawsOnA256ColourScreen)
{
    // Qt 6 paints on true-colour X visuals only: the native program shows nothing on such a screen.
    if (TestedEdge() == Edge::Native) GTEST_SKIP() << "Qt 6 has no paint engine for an 8-bit indexed X visual";
    XSession session({.depth = 8});
    session.MovePointer(1100, 900);
    StartSettings settings = PinnedAt(300, 300);
    settings.capRateTenths = 10;
    ProgramOptions o;
    o.ini = SettingsText(settings);
    Program app(session, o);
    const XWindow window = session.FindWindowByTitlePrefix(kMainTitle, 40s);
    ASSERT_NE(window, 0u);
    Program white(session, Program::Helper("helper_target", {"100", "100", "500", "450", "white.log"}));
    std::string client;
    Rect c;
    ASSERT_TRUE(PollUntil(
        [&] {
            client = Query(session, {"client"});
            return std::sscanf(client.c_str(), "client %d %d %d %d", &c.x, &c.y, &c.width, &c.height) == 4;
        },
        20s, 100ms))
        << client;
    const int viewX = c.x, viewY = c.y + kViewTop;
    ASSERT_TRUE(PollUntil([&] { return session.ColorAt(viewX + 120, viewY + 100) == 0xFFFFFF; }, 20s))
        << "the view is not white";
    session.KeyCombo("ctrl+F2");
    ASSERT_TRUE(PollUntil(
        [&] { return session.WindowTitle(window).find("表面レイヤ描き込みモードです") != std::string::npos; }, 10s))
        << session.WindowTitle(window);

    session.Drag(viewX + 40, viewY + 100, viewX + 200, viewY + 100);
    auto isBlue = [](uint32_t rgb) { return (rgb & 0xFF) > 0x80 && ((rgb >> 8) & 0xFF) < 0x40 && (rgb >> 16) < 0x40; };
    EXPECT_TRUE(PollUntil([&] { return isBlue(session.ColorAt(viewX + 120, viewY + 100)); }, 10s))
        << std::hex << session.ColorAt(viewX + 120, viewY + 100);
    EXPECT_EQ(Query(session, {"boxes"}), "boxes none");
    EXPECT_TRUE(app.Running());
    ASSERT_TRUE(app.Close(window));
}

OCU_ON_BOTH_EDGES(SurfaceE2E);

}  // namespace
}  // namespace ocu::e2e
