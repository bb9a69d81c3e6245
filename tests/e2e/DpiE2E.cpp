// The real program at 144 and 192 dpi: the bars, their texts and the tool bar's pictures
// are as large to the eye as at 96 dpi, nothing is cut off, and the view below them still
// shows one screen pixel for each source pixel.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "e2e/Harness.h"
#include "e2e/ViewProbe.h"
#include "mainwindow/ViewLayout.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

using namespace viewprobe;

constexpr uint32_t kCream = 0xFFFBF0;  // the tool bar's and sbMain's ground
constexpr uint32_t kGlass = 0xAAD7FF;  // the lens of the zoom buttons' magnifier

// The first and last row of `shot` inside [top, bottom) with a pixel in columns
// [left, right) that `ink` accepts; {-1, -1} if none.
std::pair<int, int> InkRows(const Screenshot& shot, int left, int right, int top, int bottom,
                            const std::function<bool(uint32_t)>& ink)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (ink(shot.At(x, y))) {
                if (rows.first < 0) rows.first = y;
                rows.second = y;
                break;
            }
    return rows;
}

bool Dark(uint32_t c) { return ((c >> 16) & 0xFF) < 100 && ((c >> 8) & 0xFF) < 100 && (c & 0xFF) < 100; }
bool Blue(uint32_t c) { return ((c >> 16) & 0xFF) < 120 && ((c >> 8) & 0xFF) < 120 && (c & 0xFF) > 180; }

class DpiE2E : public OcumiraE2E {};

TEST_F(DpiE2E, BarsTextsAndPicturesGrowWithTheDpiAndNothingIsCutOff)
{
    for (const int dpi : {144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        XSession session(XSession::Options{.dpi = dpi});
        session.PaintPattern();
        session.MovePointer(40, 40);
        // Wide enough for the seven buttons at 200 %, away from the pointer's area.
        std::string ini = RightSideIni(10);
        ini.replace(ini.find("Left=860"), 8, "Left=200");
        WineApp app(session, WineAppOptions{.ini = ini});
        const XWindow window = session.FindWindowByTitlePrefix(kTitlePrefix);
        ASSERT_NE(window, 0u);
        const auto px = [dpi](int v) { return ScaleForDpi(v, dpi); };
        const BarLayout bars = BarLayoutFor(dpi);

        // The tool bar's cream band runs from below the info bar to the view's top.
        Rect client;
        Screenshot shot;
        int column = 0;
        const bool laidOut = WaitFor(
            "the tool bar's band between the scaled info bar and the view",
            [&] {
                const auto c = QueryClient(session);
                if (!c || c->width < px(440)) return false;
                client = *c;
                shot = session.Grab(client.x, client.y, client.width, client.height);
                column = client.width - px(20);
                const auto band = InkRows(shot, column, column + 1, 0, client.height,
                                          [](uint32_t pixel) { return pixel == kCream; });
                return band.first == bars.ToolBarTop && shot.At(column, bars.ViewTop - 1) == kCream &&
                       shot.At(column, bars.ViewTop) != kCream;
            },
            30s, 100ms);
        SaveShot(shot, "dpi" + std::to_string(dpi) + "-main");
        ASSERT_TRUE(laidOut) << "client " << client;

        // Each text is as tall as 9 pixels at 96 dpi at least (a 12-pixel font left unscaled
        // is not), and lies inside its bar with a row to spare above and below.
        const auto info = InkRows(shot, px(4), px(196), 0, bars.InfoBarHeight, Dark);
        EXPECT_GE(info.second - info.first + 1, px(9)) << "info bar text rows " << info.first << ".." << info.second;
        EXPECT_GE(info.first, 1);
        EXPECT_LE(info.second, bars.InfoBarHeight - 2);

        const auto captions = InkRows(shot, 0, px(420), bars.ToolBarTop, bars.ViewTop, Blue);
        EXPECT_GE(captions.second - captions.first + 1, px(9)) << "captions " << captions.first << ".." << captions.second;
        EXPECT_LE(captions.second, bars.ViewTop - 2) << "a caption runs into the view";

        const auto lens = InkRows(shot, 0, px(60), bars.ToolBarTop, bars.ViewTop,
                                  [](uint32_t c) { return c == kGlass; });
        EXPECT_GE(lens.second - lens.first + 1, px(9)) << "the pictures are not scaled";
        EXPECT_LT(lens.second, captions.first) << "the picture stands above its caption";

        const int statusTop = client.height - bars.StatusBarHeight;
        const auto status = InkRows(shot, px(4), px(76), statusTop, client.height, Dark);
        EXPECT_GE(status.second - status.first + 1, px(9)) << "status text " << status.first << ".." << status.second;
        EXPECT_GE(status.first, statusTop + 1);
        EXPECT_LE(status.second, client.height - 2);

        // Below the scaled bars the view still shows the screen pixel for pixel at 1x.
        std::string why;
        const auto where = LocateView(session, window, 1.0f, 40, 40, 30s, &why, bars.ViewTop);
        ASSERT_TRUE(where) << why;
        EXPECT_EQ(client.height - bars.ViewTop - where->view.height, bars.StatusBarHeight);
    }
}

}  // namespace
}  // namespace ocu::e2e
