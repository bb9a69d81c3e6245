#include "mainwindow/PointerColor.h"

#include <map>

#include "mainwindow/FrameParams.h"
#include "pipeline/ViewSource.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

TEST(ColorTextTest, HexAndDecimal) {
    EXPECT_EQ(ColorText(0x0A0B0C, true), "#0A0B0C");
    EXPECT_EQ(ColorText(0x0A0B0C, false), "10,11,12");
    EXPECT_EQ(ColorText(0xFFFFFF, false), "255,255,255");
    EXPECT_EQ(ColorText(0xFF000000u, true), "#000000");  // the unused byte never shows
}

class PointerColorTest : public MainWindowTest {
protected:
    void SetUp() override {
        StartWithView(300, 300, 2.0f);
        form->RunCommand(CommandId::mmColorShow);
    }
    // The screen point of a view point.
    IntPoint OnView(int vx, int vy) {
        const IntPoint o = platform.ClientOrigin();
        return {o.X + S().ViewLeft + vx, o.Y + S().ViewTop + vy};
    }
    std::string Hex(IntPoint p) { return ColorText(platform.Screen(p.X, p.Y), true); }
};

TEST_F(PointerColorTest, FollowingThePointerReadsThePixelUnderIt) {
    platform.Cursor = {812, 604};
    Tick();
    EXPECT_EQ(platform.ColorReadout, Hex({812, 604}));
    EXPECT_EQ(platform.Swatch, platform.Screen(812, 604));
    // Near the desktop's corner the sampled area is pushed inside; the pointer's pixel is still read.
    platform.Cursor = {1, 2};
    Tick();
    EXPECT_EQ(platform.ColorReadout, Hex({1, 2}));
    // Inverted, the reading is still the screen's colour.
    Arrange([&](ViewState& s) { s.InvertColors = true; });
    platform.Cursor = {900, 700};
    Tick();
    EXPECT_EQ(platform.ColorReadout, Hex({900, 700}));
}

TEST_F(PointerColorTest, PinnedViewReadsThePixelTheViewShowsUnderThePointer) {
    Arrange([&](ViewState& s) {
        s.FixView = true;
        s.AreaLeft = 400;
        s.AreaTop = 300;
    });
    const int srcW = 150;  // 300 / 2
    // Plain: view point (21, 9) shows sampled pixel (10, 4).
    platform.Cursor = OnView(21, 9);
    Tick();
    EXPECT_EQ(platform.ColorReadout, Hex({410, 304}));
    // Mirrored left-right: the same view point shows the column from the other side.
    form->Controls().flipHV(1);
    Tick();
    EXPECT_EQ(platform.ColorReadout, Hex({400 + srcW - 1 - 10, 304}));
    // Away from the view the pointer's own pixel lies outside the pinned area: no reading.
    platform.Cursor = {5, 5};
    Tick();
    EXPECT_EQ(platform.ColorReadout, "");
    EXPECT_EQ(platform.Swatch, std::nullopt);
}

// Turned and mirrored, the reading is the pixel the frame shows under the pointer,
// on the left column of an even-width view too.
TEST_F(PointerColorTest, TurnedViewReadsThePixelTheFrameShows) {
    Arrange([&](ViewState& s) {
        s.FixView = true;
        s.AreaLeft = 400;
        s.AreaTop = 300;
        s.RotateAngle = 1370;
        s.FlipH = true;
    });
    // The corner is one the turn leaves bare: no reading there.
    for (const IntPoint v : {IntPoint{40, 50}, IntPoint{0, S().ViewHeight / 2}, IntPoint{S().ViewWidth - 1, 0}}) {
        platform.Cursor = OnView(v.X, v.Y);
        Tick();
        const auto s = ViewSourcePixel(v, FrameParams(S(), platform.Cursor, {400, 300}));
        EXPECT_EQ(platform.ColorReadout, s ? Hex({400 + s->X, 300 + s->Y}) : "") << v.X << "," << v.Y;
    }
    EXPECT_EQ(platform.ColorReadout, "");
}

TEST_F(PointerColorTest, PanelIsSetOnlyWhenTheTextChanges) {
    platform.Cursor = {900, 700};
    Tick();
    const int after = platform.ColorReadouts;
    Tick();
    Tick();
    EXPECT_EQ(platform.ColorReadouts, after);
    platform.Cursor = {901, 700};
    Tick();
    EXPECT_EQ(platform.ColorReadouts, after + 1);
}

TEST_F(PointerColorTest, MenuSwitchesHexAndDecimalFollowingTheStoredKey) {
    platform.Cursor = {900, 700};
    Tick();
    const std::uint32_t c = platform.Screen(900, 700);
    EXPECT_EQ(platform.ColorReadout, ColorText(c, true));  // InfoIsHex is true by default
    form->OnMenuOpen(CommandId::MenuSave);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmColorHex));
    form->RunCommand(CommandId::mmColorHex);
    EXPECT_EQ(platform.ColorReadout, ColorText(c, false));
    EXPECT_FALSE(ini->InfoIsHex);
    ini->Save();
    EXPECT_NE(store.text->find("InfoIsHex=0"), std::string::npos);
}

TEST_F(PointerColorTest, StartsInDecimalWhenTheFileSaysSo) {
    platform.Status.clear();
    Start("[Zuri]\r\nInfoIsHex=0\r\n[Ocumira]\r\nPointerColorVisible=1\r\n");
    EXPECT_TRUE(platform.ColorReadoutShown);
    platform.Cursor = {900, 700};
    Tick();
    EXPECT_EQ(platform.ColorReadout, ColorText(platform.Screen(900, 700), false));
}

// By default the hint line is the hint alone and the ticks leave it be; the entry gives
// the readout its panel with the reading at once, and takes it away again.
TEST_F(PointerColorTest, HiddenByDefaultShownAndHiddenByTheMenuEntry) {
    Start();
    platform.Cursor = {900, 700};
    for (int shown : {0, 1, 0}) {
        if (shown != 0 || platform.ColorReadoutShown) form->RunCommand(CommandId::mmColorShow);
        EXPECT_EQ(platform.ColorReadoutShown, shown != 0);
        if (shown != 0) {
            EXPECT_EQ(platform.ColorReadout, Hex(platform.Cursor));  // at once
        }
        const int before = platform.ColorReadouts;
        platform.Cursor.X ^= 1;  // a new colour to show
        Tick();
        EXPECT_EQ(platform.ColorReadouts, before + shown);
    }
}

}  // namespace
}  // namespace ocu::testing
