// The real program at 144 and 192 dpi: bars, texts and tool pictures as large to the eye
// as at 96 dpi, nothing cut off, and the view below still one screen pixel a source pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "e2e/Harness.h"
#include "e2e/ViewProbe.h"
#include "mainwindow/ViewLayout.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

using namespace viewprobe;
using Ink = std::function<bool(uint32_t)>;

constexpr uint32_t kCream = 0xFFFBF0;                                 // the tool bar's ground
const Ink kDark = [](uint32_t c) { return (c & 0x808080) == 0; };     // black text, smoothed
const Ink kBlue = [](uint32_t c) { return (c & 0x808080) == 0x80; };  // the blue captions

// The first and last row in [top, bottom) with a pixel of `ink` in columns [left, right).
std::pair<int, int> InkRows(const Screenshot& shot, int left, int right, int top, int bottom, const Ink& ink)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (ink(shot.At(x, y))) rows = {rows.first < 0 ? y : rows.first, y};
    return rows;
}

class DpiE2E : public OnBothEdges<OcumiraE2E> {};

TEST_P(DpiE2E, BarsTextsAndPicturesGrowWithTheDpiAndNothingIsCutOff)
{
    for (const int dpi : {144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        XSession session(XSession::Options{.dpi = dpi});
        session.PaintPattern();
        session.MovePointer(40, 40);
        std::string ini = RightSideIni(10);  // 1000 wide: room for the seven buttons at 200 %
        ini.replace(ini.find("Left=860"), 8, "Left=200");
        Program app(session, ProgramOptions{.ini = ini, .edge = GetParam()});
        const XWindow window = session.FindWindowByTitlePrefix(kTitlePrefix);
        ASSERT_NE(window, 0u);
        const auto px = [dpi](int v) { return ScaleForDpi(v, dpi); };
        const BarLayout bars = BarLayoutFor(dpi);

        // The view begins below the scaled bars and shows the screen pixel for pixel at 1x.
        std::string why;
        const auto where = LocateView(session, window, 1.0f, 40, 40, 30s, &why, bars.ViewTop, GetParam());
        ASSERT_TRUE(where) << why;
        const Rect client = where->client;
        // The settings' bounds, in screen pixels, to the pixel the toolkit's scaled units can give.
        const Rect& w = where->window;
        EXPECT_TRUE(std::abs(w.x - 200) <= 1 && std::abs(w.y - kWindowBounds.y) <= 1 &&
                    std::abs(w.x + w.width - kWindowBounds.x - kWindowBounds.width) <= 1 &&
                    std::abs(w.height - kWindowBounds.height) <= 1)
            << w;
        EXPECT_EQ(client.height - bars.ViewTop - where->view.height, bars.StatusBarHeight);
        const Screenshot shot = session.Grab(client.x, client.y, client.width, client.height);
        const int x = client.width - px(20);  // right of the buttons: the bar's ground
        // The ground meets the view without a seam. Where the scale is fractional the toolkit
        // puts the edge between the two bars on its own half-pixel grid: a row up or down.
        const auto ground = InkRows(shot, x, x + 1, 0, bars.ViewTop + px(4), [](uint32_t c) { return c == kCream; });
        EXPECT_NEAR(ground.first, bars.ToolBarTop, dpi % 96 == 0 ? 0 : 1);
        EXPECT_EQ(ground.second, bars.ViewTop - 1);

        // Each text or picture is 9 pixels at 96 dpi tall at least (unscaled, a 12-pixel
        // font is not) and keeps a row clear above and below it inside its band.
        const auto grown = [&](const char* what, int left, int right, int top, int bottom, const Ink& ink) {
            const auto rows = InkRows(shot, left, right, top, bottom, ink);
            EXPECT_GE(rows.second - rows.first + 1, px(9)) << what << " rows " << rows.first << ".." << rows.second;
            EXPECT_TRUE(rows.first > top && rows.second < bottom - 1) << what << " cut off";
        };
        grown("info bar text", px(4), px(196), 0, bars.InfoBarHeight, kDark);
        grown("captions", 0, px(420), bars.ToolBarTop, bars.ViewTop, kBlue);
        grown("lens picture", 0, px(60), bars.ToolBarTop, bars.ViewTop, [](uint32_t c) { return c == 0xAAD7FF; });
        grown("status text", px(4), px(76), client.height - bars.StatusBarHeight, client.height, kDark);

        // It saves where it really stands, to the pixel.
        ASSERT_TRUE(app.Close(window));
        const auto saved = app.ReadIni();
        ASSERT_TRUE(saved);
        for (const auto& [key, at] :
             {std::pair{"Left", w.x}, {"Top", w.y}, {"Right", w.x + w.width}, {"Bottom", w.y + w.height}})
            EXPECT_EQ(IniValue(*saved, "BoundsRect", key), std::to_string(at)) << key;
    }
}

OCU_ON_BOTH_EDGES(DpiE2E);

}  // namespace
}  // namespace ocu::e2e
