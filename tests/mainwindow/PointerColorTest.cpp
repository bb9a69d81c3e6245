#include "mainwindow/PointerColor.h"

#include <map>

#include "mainwindow/MainWindowFixture.h"
#include "pipeline/FramePipeline.h"

namespace ocu::testing {
namespace {

TEST(ColorTextTest, HexAndDecimal) {
    EXPECT_EQ(ColorText(0x0A0B0C, true), "#0A0B0C");
    EXPECT_EQ(ColorText(0x0A0B0C, false), "10,11,12");
    EXPECT_EQ(ColorText(0xFFFFFF, false), "255,255,255");
    EXPECT_EQ(ColorText(0xFF000000u, true), "#000000");  // the unused byte never shows
}

// The view is made of the sampled pixels mirrored and enlarged: every view pixel
// of a rendered frame shows the sampled pixel the rule names.
TEST(SampledPixelOfViewTest, AgreesWithTheRenderedFrame) {
    for (const bool flipH : {false, true}) {
        for (const bool flipV : {false, true}) {
            if (flipH && flipV) continue;
            FakePlatform screen;
            const int vw = 37, vh = 23, sw = 12, sh = 7;
            Image* capture = screen.CaptureScreen(100, 200, sw, sh);
            Image frame(vw, vh, PixelFormat::Bits32);
            RenderParams p;
            p.ViewWidth = vw;
            p.ViewHeight = vh;
            p.SrcWidth = sw;
            p.SrcHeight = sh;
            p.ZoomRate = 3.1f;
            p.FlipH = flipH;
            p.FlipV = flipV;
            p.CursorX = -1000;  // no marker over the view
            p.CursorY = -1000;
            Image copy = capture->Clone();
            RenderFrame(copy, frame, p);
            for (int y = 0; y < vh; ++y)
                for (int x = 0; x < vw; ++x) {
                    const IntPoint s = SampledPixelOfView({x, y}, vw, vh, sw, sh, flipH, flipV);
                    ASSERT_EQ(frame.Pixel32(x, y) & 0xFFFFFF, capture->Pixel32(s.X, s.Y) & 0xFFFFFF)
                        << x << "," << y << " flip " << flipH << flipV;
                }
        }
    }
}

class PointerColorTest : public MainWindowTest {
protected:
    void SetUp() override { StartWithView(300, 300, 2.0f); }
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
    form->flipHV(1);
    Tick();
    EXPECT_EQ(platform.ColorReadout, Hex({400 + srcW - 1 - 10, 304}));
    // Away from the view the pointer's own pixel lies outside the pinned area: no reading.
    platform.Cursor = {5, 5};
    Tick();
    EXPECT_EQ(platform.ColorReadout, "");
    EXPECT_EQ(platform.Swatch, std::nullopt);
}

TEST_F(PointerColorTest, TurnedViewGoesBackTheWayOfTheLayer) {
    Arrange([&](ViewState& s) {
        s.FixView = true;
        s.AreaLeft = 400;
        s.AreaTop = 300;
    });
    Arrange([&](ViewState& s) {
        s.RotateAngle = 1800;
    });  // half a turn: the view's centre stays, everything else swaps sides
    int x = 40, y = 50;
    form->ViewToLayer(x, y);
    platform.Cursor = OnView(40, 50);
    Tick();
    const IntPoint s =
        SampledPixelOfView({x, y}, S().ViewWidth, S().ViewHeight, S().SrcWidth, S().SrcHeight, false, false);
    EXPECT_EQ(platform.ColorReadout, Hex({400 + s.X, 300 + s.Y}));
}

TEST_F(PointerColorTest, PanelIsSetOnlyWhenTheTextChanges) {
    platform.Cursor = {500, 500};
    Tick();
    const int after = platform.ColorReadouts;
    Tick();
    Tick();
    EXPECT_EQ(platform.ColorReadouts, after);
    platform.Cursor = {501, 500};
    Tick();
    EXPECT_EQ(platform.ColorReadouts, after + 1);
}

TEST_F(PointerColorTest, MenuSwitchesHexAndDecimalFollowingTheStoredKey) {
    platform.Cursor = {500, 500};
    Tick();
    const std::uint32_t c = platform.Screen(500, 500);
    EXPECT_EQ(platform.ColorReadout, ColorText(c, true));  // InfoIsHex is true by default
    form->OnMenuOpen(CommandId::MenuSave);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmColorHex));
    form->OnCommand(CommandId::mmColorHex);
    EXPECT_EQ(platform.ColorReadout, ColorText(c, false));
    EXPECT_FALSE(ini->InfoIsHex);
    ini->Save();
    EXPECT_NE(store.text->find("InfoIsHex=0"), std::string::npos);
}

TEST_F(PointerColorTest, StartsInDecimalWhenTheFileSaysSo) {
    platform.Status.clear();
    Start("[Zuri]\r\nInfoIsHex=0\r\n");
    platform.Cursor = {500, 500};
    Tick();
    EXPECT_EQ(platform.ColorReadout, ColorText(platform.Screen(500, 500), false));
}

}  // namespace
}  // namespace ocu::testing
