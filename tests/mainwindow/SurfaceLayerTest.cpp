#include "image/PixelOps.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

constexpr std::uint32_t kBlue = 0x0000FF;  // blue as a 32-bit DIB pixel
constexpr std::uint32_t kWhite = 0xFFFFFF;

class SurfaceTest : public MainWindowTest {
protected:
    void SetUp() override {
        StartWithView(300, 300, 1.0f);  // view 300 x 223 at (0, 61)
        platform.Screen = [](int, int) { return kWhite; };
        platform.Window = {2000, 2000, 2300, 2300};
        form->RunCommand(CommandId::mmAtariMode);
    }
    std::uint32_t Layer(int x, int y) { return form->Surface().Pixels().Pixel32(x, y) & 0xFFFFFF; }
    void Drag(MouseButton b, ShiftState held, IntPoint from, IntPoint to) {
        form->FormMouseDown(b, held, from.X, from.Y + 61);
        form->FormMouseMove(held, to.X, to.Y + 61);
        form->FormMouseUp(b, {}, to.X, to.Y + 61);
    }
    static ShiftState Held(bool left, bool right = false, bool ctrl = false, bool middle = false) {
        ShiftState s;
        s.Left = left;
        s.Right = right;
        s.Ctrl = ctrl;
        s.Middle = middle;
        return s;
    }
};

TEST_F(SurfaceTest, DrawingModeShowsTheLayerAndTheStatus) {
    EXPECT_TRUE(S().SurfaceDrawMode);
    EXPECT_TRUE(S().SurfaceVisible);
    EXPECT_EQ(platform.Status[0], "表面レイヤ：on");
    EXPECT_EQ(platform.Status[3], "Ctrl+ドラッグ：消しゴム");
    form->RunCommand(CommandId::mmAtariMode);
    EXPECT_FALSE(S().SurfaceDrawMode);
    EXPECT_TRUE(S().SurfaceVisible);  // leaving the mode keeps the layer shown
}

TEST_F(SurfaceTest, PenDrawsWithoutTheEndPixelAndErasersHaveTheirWidths) {
    Drag(MouseButton::Left, Held(true), {10, 20}, {20, 20});
    EXPECT_EQ(Layer(10, 20), kBlue);
    EXPECT_EQ(Layer(19, 20), kBlue);
    EXPECT_EQ(Layer(20, 20), kWhite);  // LineTo leaves the end pixel
    EXPECT_EQ(Layer(15, 21), kWhite);  // one pixel wide

    Drag(MouseButton::Left, Held(true), {10, 40}, {40, 40});
    Drag(MouseButton::Left, Held(true, false, true), {10, 40}, {40, 40});  // Ctrl: eraser of 4
    for (int x = 12; x < 38; ++x) EXPECT_EQ(Layer(x, 40), kWhite);
    // Four pixels across: rows 38 to 41 of a blue band from 36 to 43.
    for (int y = 36; y <= 43; ++y) Drag(MouseButton::Left, Held(true), {50, y}, {80, y});
    Drag(MouseButton::Left, Held(true, false, true), {50, 40}, {80, 40});
    for (int y = 36; y <= 43; ++y) EXPECT_EQ(Layer(65, y), y >= 38 && y <= 41 ? kWhite : kBlue) << y;

    Drag(MouseButton::Left, Held(true), {10, 60}, {40, 60});
    Drag(MouseButton::Left, Held(true), {10, 62}, {40, 62});
    Drag(MouseButton::Right, Held(false, true), {10, 61}, {40, 61});  // eraser of 5 covers both
    EXPECT_EQ(Layer(25, 60), kWhite);
    EXPECT_EQ(Layer(25, 62), kWhite);
}

// A 256-colour screen: the pen and erasers draw as anywhere else, and the view shows the
// strokes in the palette colour nearest to what a true-colour screen would show.
TEST_F(SurfaceTest, OnA256ColourScreenStrokesShowInTheNearestPaletteColour) {
    constexpr std::uint8_t kBlack = 0, kPaperWhite = 1, kPaletteBlue = 2, kRed = 3, kNavy = 4;
    platform.Format = PixelFormat::Bits8;
    platform.Palette.assign(256, PaletteEntry{});
    for (int i = 5; i < 256; ++i)
        platform.Palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                               static_cast<std::uint8_t>(i / 2), 0};
    platform.Palette[kBlack] = {0, 0, 0, 0};
    platform.Palette[kPaperWhite] = {255, 255, 255, 0};
    platform.Palette[kPaletteBlue] = {0, 0, 250, 0};  // no pure blue: the nearest is taken
    platform.Palette[kRed] = {255, 0, 0, 0};
    platform.Palette[kNavy] = {0, 0, 120, 0};
    platform.Screen = [](int, int) { return std::uint32_t{kPaperWhite}; };
    Tick();

    Drag(MouseButton::Left, Held(true), {10, 20}, {40, 20});
    Drag(MouseButton::Left, Held(true), {10, 50}, {40, 50});
    Drag(MouseButton::Left, Held(true, false, true), {25, 45}, {25, 55});  // Ctrl: eraser of 4 across it
    EXPECT_TRUE(platform.Messages.empty()) << platform.Messages.front().Text;
    Tick();
    EXPECT_TRUE(platform.Messages.empty());
    auto frame = [&](int x, int y) { return platform.Frame.Row(y)[x]; };
    EXPECT_EQ(frame(15, 20), kPaletteBlue);
    EXPECT_EQ(frame(39, 20), kPaletteBlue);
    EXPECT_EQ(frame(40, 20), kPaperWhite);
    EXPECT_EQ(frame(15, 21), kPaperWhite);
    EXPECT_EQ(frame(20, 50), kPaletteBlue);
    for (int x = 23; x <= 26; ++x) EXPECT_EQ(frame(x, 50), kPaperWhite) << x;  // the eraser's 4 pixels
    EXPECT_EQ(frame(22, 50), kPaletteBlue);
    EXPECT_EQ(frame(27, 50), kPaletteBlue);

    // Blue ANDed into red is black, as on a true-colour screen.
    platform.Screen = [](int, int) { return std::uint32_t{kRed}; };
    Tick();
    EXPECT_EQ(frame(15, 20), kBlack);
    EXPECT_EQ(frame(15, 21), kRed);

    // Turned, the layer is merged at view scale; a stroke by the centre still shows.
    platform.Screen = [](int, int) { return std::uint32_t{kPaperWhite}; };
    Drag(MouseButton::Left, Held(true), {130, 100}, {170, 100});
    Arrange([&](ViewState& s) { s.RotateAngle = 900; });
    Tick();
    EXPECT_TRUE(platform.Messages.empty());
    int blue = 0;
    for (int y = 0; y < 223; ++y)
        for (int x = 0; x < 300; ++x) blue += frame(x, y) == kPaletteBlue ? 1 : 0;
    EXPECT_GE(blue, 38);
}

TEST_F(SurfaceTest, ClicksAndOtherButtonsPaintNothingAndKeepTheStartPoint) {
    form->FormMouseDown(MouseButton::Left, Held(true), 50, 50 + 61);
    form->FormMouseUp(MouseButton::Left, {}, 50, 50 + 61);
    form->FormMouseDown(MouseButton::Right, Held(false, true, true), 50, 100 + 61);
    form->FormMouseMove(Held(false, true, true), 70, 100 + 61);          // Ctrl+right: nothing
    form->FormMouseMove(Held(false, false, false, true), 80, 100 + 61);  // middle alone: nothing
    form->FormMouseMove(Held(true), 60, 110 + 61);                       // the next segment starts at the press
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 223; ++y)
            if (Layer(x, y) != kWhite) {
                EXPECT_TRUE(x >= 50 && x <= 60 && y >= 100 && y <= 110) << x << "," << y;
            }
    EXPECT_EQ(Layer(50, 100), kBlue);
}

TEST_F(SurfaceTest, ViewToLayerExamples) {
    Arrange([&](ViewState& s) { s.RotateAngle = 900; });
    int x = 150 + 10, y = 111;
    form->Surface().ViewToLayer(x, y);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 111 + 9);
    Arrange([&](ViewState& s) { s.RotateAngle = 1800; });
    x = 160;
    y = 111;
    form->Surface().ViewToLayer(x, y);
    EXPECT_EQ(x, 150 - 9);
    EXPECT_EQ(y, 111);
}

// A stroke drawn on the shown (mirrored or turned) view appears under the pointer.
class StrokeUnderPointerTest : public SurfaceTest, public ::testing::WithParamInterface<std::tuple<bool, bool, int>> {};

TEST_P(StrokeUnderPointerTest, StrokeShowsWhereItWasDrawn) {
    const auto [flipH, flipV, angle] = GetParam();
    Arrange([&](ViewState& s) {
        s.FlipH = flipH;
        s.FlipV = flipV;
        s.RotateAngle = angle;
    });
    Drag(MouseButton::Left, Held(true), {100, 80}, {100, 90});
    Tick();
    // Nearest-neighbour turning may move a thin stroke by a pixel, never further.
    auto blueNear = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((platform.Frame.Pixel32(x + dx, y + dy) & 0xFFFFFF) == kBlue) return true;
        return false;
    };
    int near = 0;
    for (int y = 80; y < 90; ++y) near += blueNear(100, y);
    EXPECT_GE(near, 9);
    EXPECT_FALSE(blueNear(100, 60));
    EXPECT_FALSE(blueNear(120, 85));
}

INSTANTIATE_TEST_SUITE_P(Transforms, StrokeUnderPointerTest,
                         ::testing::Values(std::make_tuple(false, false, 0), std::make_tuple(true, false, 0),
                                           std::make_tuple(false, true, 0), std::make_tuple(false, false, 900),
                                           std::make_tuple(false, false, 450), std::make_tuple(true, false, 1370)));

TEST_F(SurfaceTest, StrokesShowOnWhiteNotOnBlackAndClearWorksWhileHidden) {
    Drag(MouseButton::Left, Held(true), {10, 10}, {30, 10});
    platform.Screen = [](int x, int) { return x < 2020 ? 0u : kWhite; };  // pointer far away; area at the right edge
    Tick();
    form->OnHotKey(219);  // hide
    EXPECT_FALSE(S().SurfaceVisible);
    form->RunCommand(CommandId::mmClearAtari);
    form->OnHotKey(219);  // show again
    EXPECT_EQ(Layer(15, 10), kWhite);
}

TEST_F(SurfaceTest, EnlargingTheWindowKeepsStrokesAndAddsTransparency) {
    Drag(MouseButton::Left, Held(true), {290, 200}, {299, 200});
    form->ChgWindowSize(400, 400);
    EXPECT_EQ(Layer(295, 200), kBlue);
    EXPECT_EQ(Layer(350, 300), kWhite);
}

TEST_F(SurfaceTest, HotKeyTogglesTheModeFromTheFlagAfterAPickSwitchedItOff) {
    form->Picker().BeginPick(true);
    EXPECT_FALSE(S().SurfaceDrawMode);
    form->FormMouseUp(MouseButton::Right, {}, 0, 0);
    form->OnHotKey(218);
    EXPECT_TRUE(S().SurfaceDrawMode);
    form->OnMenuOpen(CommandId::MenuAtari);
    EXPECT_TRUE(platform.Checked[CommandId::mmAtariMode]);
}

}  // namespace
}  // namespace ocu::testing
