// The live view of the real Ocumira.exe over the coordinate pattern: which screen pixels it
// shows for each zoom and pointer position (the desktop edges included), the pointer marker,
// the title, and what a run leaves in the settings file.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "e2e/Harness.h"
#include "e2e/ViewProbe.h"

namespace ocu::e2e {
namespace {

using namespace viewprobe;

class ViewE2E : public OnBothEdges<MagnifierE2E> {};

struct PointerSpot {
    const char* name;
    int x, y;
};

// The centre, the middle of each desktop edge and each corner of the 1280 x 1024 screen.
constexpr PointerSpot kSpots[] = {
    {"centre", 640, 512},   {"left edge", 0, 512},      {"right edge", 1279, 512},
    {"top edge", 640, 0},   {"bottom edge", 640, 1023}, {"top-left", 0, 0},
    {"top-right", 1279, 0}, {"bottom-left", 0, 1023},   {"bottom-right", 1279, 1023},
};

// One run per zoom: the view shows, for every pointer spot, exactly the pattern pixels of the
// area centred on the pointer and held inside the desktop, enlarged, with the marker inverted
// on the pointer's pixel. Where the area takes in the magnifier's own window, those pixels
// show the magnifier itself and are left out; the rest still pins the area down to the pixel.
// A run that changes nothing then stores the bounds and the zoom and counts two saves.
TEST_P(ViewE2E, ViewShowsTheAreaAroundThePointerAtEachZoomAndRunStoresItsSettings)
{
    for (const int tenths : {10, 20, 40}) {
        SCOPED_TRACE("CapRate " + std::to_string(tenths));
        const float zoom = static_cast<float>(tenths) / 10.0f;
        // Hexadecimal numbers read as well as decimal ones, and every save writes decimal:
        // the decimal values found afterwards were written by the program, not left from here.
        std::string ini = RightSideIni(tenths, 10);
        ini.replace(ini.find("Left=860"), 8, "Left=0x35C");
        ini.replace(ini.find("RunCount=10"), 11, "RunCount=0xA");
        ASSERT_TRUE(Start(tenths, ini));
        XSession& session = Session();
        const XWindow window = Window();
        EXPECT_EQ(Outer(), kWindowBounds) << "the window is not where the settings put it";
        if (tenths == 20)
            EXPECT_EQ(session.WindowTitle(window), "Lumivane Ocumira [倍率:2.0倍 回転:  0度 状態:表示モード]");
        else EXPECT_EQ(TitleZoom(session.WindowTitle(window)), zoom);
        const Rect& view = View();
        EXPECT_EQ(view.width, Where().client.width);

        for (const auto& spot : kSpots) {
            SCOPED_TRACE(spot.name);
            session.MovePointer(spot.x, spot.y);
            const auto plain = Plain(zoom, spot.x, spot.y);
            Screenshot shot;
            const auto result = WaitForView(session, view, PlainPattern(plain), 15s, &shot);
            EXPECT_TRUE(result.Exact()) << result << " (saved " << SaveShot(shot, "view-failed").string() << ")";
            // Most of the view is checked even where the window hides part of the area.
            EXPECT_GT(result.compared, static_cast<long>(view.width) * view.height / 50);

            // The marker is the inverted zoom x zoom square at the pointer's pixel: the pattern
            // colour turned around, which the pattern itself never shows there. Its corner shows
            // the pointer's own pixel where the view's size is a multiple of the zoom; otherwise
            // the enlargement's wider columns and rows may put a neighbour there.
            const Rect marker = plain.Marker();
            if (marker.x + marker.width <= view.width && marker.y + marker.height <= view.height) {
                EXPECT_EQ(marker.width, static_cast<int>(zoom));
                const auto [sx, sy] = plain.Source(marker.x, marker.y);
                const int whole = static_cast<int>(zoom);
                if (view.width % whole == 0 && view.height % whole == 0) {
                    EXPECT_EQ(std::tuple(sx, sy), std::tuple(spot.x, spot.y));
                }
                EXPECT_EQ(shot.At(marker.x, marker.y), XSession::PatternColor(sx, sy) ^ 0xFFFFFF);
            }
        }

        session.MovePointer(kRestX, kRestY);
        ASSERT_TRUE(App().Close(window)) << "Ocumira did not end on WM_DELETE_WINDOW";
        const auto saved = App().ReadIni();
        ASSERT_TRUE(saved);
        EXPECT_EQ(IniValue(*saved, "BoundsRect", "Left"), "860");
        EXPECT_EQ(IniValue(*saved, "BoundsRect", "Top"), "250");
        EXPECT_EQ(IniValue(*saved, "BoundsRect", "Right"), "1260");
        EXPECT_EQ(IniValue(*saved, "BoundsRect", "Bottom"), "750");
        EXPECT_EQ(IniValue(*saved, "Zuri", "CapRate"), std::to_string(tenths));
        EXPECT_EQ(IniValue(*saved, "Setting", "RunCount"), "12") << "a run that changed nothing saves twice";
    }
}

OCU_ON_BOTH_EDGES(ViewE2E);

}  // namespace
}  // namespace ocu::e2e
