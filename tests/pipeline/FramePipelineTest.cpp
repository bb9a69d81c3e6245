#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "pipeline/FramePipeline.h"
#include "rotate/RotateBitmap.h"
#include "support/ImageHelpers.h"

namespace ocu {
namespace {

const PixelFormat kByteFormats[] = {PixelFormat::Bits8, PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
                                    PixelFormat::Bits32};

using support::Filled;
using support::Px;
using support::RandomImage;

std::uint32_t AllOnes(PixelFormat f) { return PixelBytes(f) == 4 ? 0xFFFFFFFFu : (1u << (8 * PixelBytes(f))) - 1; }

// The example view: 300 x 223 at zoom 4 samples 75 x 55.
RenderParams ExampleView() {
    RenderParams p;
    p.ViewWidth = 300;
    p.ViewHeight = 223;
    p.SrcWidth = 75;
    p.SrcHeight = 55;
    p.ZoomRate = 4.0f;
    p.CursorX = 800;
    p.CursorY = 600;
    p.SrcX = 763;
    p.SrcY = 573;
    return p;
}

RenderParams WithoutGuides(RenderParams p) {
    p.CenterLineVisible = p.GridVisible = false;
    p.SurfaceDrawMode = true;  // no marker
    return p;
}

Image Render(const Image& capture, const RenderParams& p) {
    Image scratch = capture.Clone();
    Image frame(p.ViewWidth, p.ViewHeight, capture.Format());
    RenderFrame(scratch, frame, p);
    return frame;
}

// The pixels the guides changed: everything they draw is a NOT.
Image GuideMask(const Image& capture, const RenderParams& p) {
    Image with = Render(capture, p);
    const Image without = Render(capture, WithoutGuides(p));
    for (std::size_t i = 0; i < with.SizeBytes(); ++i) with.Bits()[i] ^= without.Bits()[i];
    return with;
}

using PixelSet = std::set<std::pair<int, int>>;

PixelSet GuidesOnBlack(const RenderParams& p) {
    Image frame(p.ViewWidth, p.ViewHeight, PixelFormat::Bits32);
    DrawGuides(frame, p);
    PixelSet changed;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            if (frame.Pixel32(x, y) != 0) changed.insert({x, y});
    return changed;
}

// Positions of dotted lines (columns when `vertical`): a line inverts every
// other pixel along the frame, crossings of other lines take away only a few.
std::set<int> LinePositions(const PixelSet& changed, const RenderParams& p, bool vertical) {
    const int across = vertical ? p.ViewWidth : p.ViewHeight, along = vertical ? p.ViewHeight : p.ViewWidth;
    std::vector<int> count(across);
    for (const auto& [x, y] : changed) ++count[vertical ? x : y];
    std::set<int> lines;
    for (int i = 0; i < across; ++i)
        if (count[i] >= along / 4) lines.insert(i);
    return lines;
}

TEST(FrameGuides, MarkerSquareAtTheMagnifiedPointer) {
    struct Case {
        int cursorX, cursorY, srcX, srcY;
        float zoom;
        bool projection, drawing;
        int x, y, size;  // expected square before clipping; size 0 for none
    };
    const Case cases[] = {
        {800, 600, 763, 573, 4.0f, false, false, 148, 108, 4},
        {10, 500, 0, 473, 4.0f, false, false, 40, 108, 4},
        {1915, 1075, 1846, 1026, 4.0f, false, false, 276, 196, 4},
        {837, 628, 763, 573, 4.0f, false, false, 296, 220, 4},  // clipped at the bottom
        {838, 600, 763, 573, 4.0f, false, false, 0, 0, 0},      // pinned area, pointer right of it
        {762, 600, 763, 573, 4.0f, false, false, 0, 0, 0},      // and left of it
        {10, 10, 0, 0, 1.3f, false, false, 12, 12, 1},          // 10 * 1.3f is just below 13
        {800, 600, 763, 573, 4.0f, true, false, 0, 0, 0},
        {800, 600, 763, 573, 4.0f, false, true, 0, 0, 0},
    };
    for (const Case& c : cases) {
        RenderParams p = ExampleView();
        p.CursorX = c.cursorX;
        p.CursorY = c.cursorY;
        p.SrcX = c.srcX;
        p.SrcY = c.srcY;
        p.ZoomRate = c.zoom;
        p.ProjectionMode = c.projection;
        p.SurfaceDrawMode = c.drawing;
        PixelSet expected;
        for (int y = c.y; y < c.y + c.size && y < p.ViewHeight; ++y)
            for (int x = c.x; x < c.x + c.size && x < p.ViewWidth; ++x) expected.insert({x, y});
        EXPECT_EQ(GuidesOnBlack(p), expected) << "pointer " << c.cursorX << "," << c.cursorY;
    }
}

TEST(FrameGuides, CentreLinesAndGridPositions) {
    struct Case {
        bool centre, grid;
        int unit;
        std::set<int> columns, rows;
    };
    const Case cases[] = {
        {true, false, 0, {150}, {111}},
        {false, true, 60, {60, 120, 180, 240}, {60, 120, 180}},
        {true, true, 60, {60, 120, 150, 180, 240}, {60, 111, 120, 180}},
        {false, true, 0, {}, {}},  // would divide by zero; draws no grid
        {false, true, -60, {}, {}},
    };
    for (const Case& c : cases) {
        RenderParams p = WithoutGuides(ExampleView());
        p.CenterLineVisible = c.centre;
        p.GridVisible = c.grid;
        p.GridUnit = c.unit;
        const PixelSet changed = GuidesOnBlack(p);
        EXPECT_EQ(LinePositions(changed, p, true), c.columns) << c.centre << c.grid << c.unit;
        EXPECT_EQ(LinePositions(changed, p, false), c.rows) << c.centre << c.grid << c.unit;
    }
    RenderParams p = WithoutGuides(ExampleView());
    p.CenterLineVisible = true;
    const PixelSet changed = GuidesOnBlack(p);
    EXPECT_TRUE(changed.count({150, 0}) && !changed.count({150, 1}) && changed.count({150, 222}));  // dots start on
    EXPECT_TRUE(changed.count({0, 111}) && !changed.count({1, 111}) && !changed.count({299, 111}));
}

TEST(FrameGuides, DrawnTwiceRestoresTheFrame) {
    std::mt19937 rng(23);
    for (const PixelFormat f : kByteFormats) {
        for (int run = 0; run < 20; ++run) {
            RenderParams p;
            p.ViewWidth = 1 + static_cast<int>(rng() % 120);
            p.ViewHeight = 1 + static_cast<int>(rng() % 120);
            p.ZoomRate = 1.0f + static_cast<float>(rng() % 150) / 10.0f;
            p.CenterLineVisible = rng() % 2;
            p.GridVisible = true;
            p.GridUnit = static_cast<int>(rng() % 40) - 5;
            p.CursorX = static_cast<int>(rng() % 60);
            p.CursorY = static_cast<int>(rng() % 60);
            const Image original = RandomImage(rng, p.ViewWidth, p.ViewHeight, f);
            Image frame = original.Clone();
            DrawGuides(frame, p);
            DrawGuides(frame, p);
            EXPECT_EQ(frame, original) << BitsPerPixel(f) << " run " << run;
        }
    }
}

// Which capture pixel each view pixel shows, by the nearest-neighbour rule,
// for the plain and mirror paths (the mirror applies at the sampled size).
TEST(FramePipeline, PlainAndMirrorPathsShowThePredictedPixels) {
    struct Case {
        bool flipH, flipV, invert;
    };
    const Case cases[] = {
        {false, false, false}, {false, false, true}, {true, false, false}, {false, true, true}, {true, true, false}};
    std::mt19937 rng(29);
    for (const PixelFormat f : kByteFormats) {
        const Image capture = RandomImage(rng, 75, 55, f);
        for (const Case& c : cases) {
            RenderParams p = WithoutGuides(ExampleView());
            p.FlipH = c.flipH;
            p.FlipV = c.flipV;
            p.InvertColors = c.invert;
            const Image frame = Render(capture, p);
            const bool mirrorX = c.flipH && !c.flipV;  // top-bottom wins when both are set
            int wrong = 0;
            for (int y = 0; y < p.ViewHeight; ++y)
                for (int x = 0; x < p.ViewWidth; ++x) {
                    int sx = NearestSource(x, p.ViewWidth, p.SrcWidth),
                        sy = NearestSource(y, p.ViewHeight, p.SrcHeight);
                    if (mirrorX) sx = p.SrcWidth - 1 - sx;
                    if (c.flipV) sy = p.SrcHeight - 1 - sy;
                    const std::uint32_t want = c.invert ? ~Px(capture, sx, sy) & AllOnes(f) : Px(capture, sx, sy);
                    wrong += Px(frame, x, y) != want;
                }
            EXPECT_EQ(wrong, 0) << BitsPerPixel(f) << " flip " << c.flipH << c.flipV << " invert " << c.invert;
        }
    }
}

RenderParams GuidedExample() {
    RenderParams p = ExampleView();
    p.CursorX = 10;
    p.CursorY = 500;
    p.SrcX = 0;
    p.SrcY = 473;  // marker off-centre, at (40, 108)
    p.CenterLineVisible = true;
    p.GridVisible = true;
    p.GridUnit = 70;
    return p;
}

TEST(FramePipeline, MirrorPathDrawsTheGuidesUnmirrored) {
    std::mt19937 rng(31);
    const Image capture = RandomImage(rng, 75, 55, PixelFormat::Bits32);
    const RenderParams plain = GuidedExample();
    for (const auto& [flipH, flipV] : {std::pair{true, false}, std::pair{false, true}}) {
        RenderParams mirrored = plain;
        mirrored.FlipH = flipH;
        mirrored.FlipV = flipV;
        EXPECT_EQ(GuideMask(capture, mirrored), GuideMask(capture, plain)) << flipH << flipV;
    }
}

TEST(FramePipeline, RotationPathTurnsTheGuidesWithThePicture) {
    std::mt19937 rng(37);
    for (const PixelFormat f : kByteFormats) {
        const Image capture = RandomImage(rng, 75, 55, f);
        const Image plain = Render(capture, GuidedExample());
        for (const int angle : {900, 450, -150, 1800}) {
            for (const auto& [flipH, flipV] :
                 {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}}) {
                RenderParams p = GuidedExample();
                p.RotateAngle = angle;
                p.FlipH = flipH;
                p.FlipV = flipV;
                const Image expected = flipH || flipV ? RotateBitmap(RotateBitmap(plain, flipV ? 1800 : 0, true, false),
                                                                     angle, false, false)
                                                      : RotateBitmap(plain, angle, false, false);
                EXPECT_EQ(Render(capture, p), expected)
                    << BitsPerPixel(f) << " angle " << angle << " flip " << flipH << flipV;
            }
        }
    }
}

struct PathCase {
    bool flipH, flipV;
    int angle;
};
const PathCase kPaths[] = {
    {false, false, 0}, {true, false, 0}, {false, true, 0}, {false, false, 900}, {true, false, 450}};

TEST(FrameLayer, WhiteLayerLeavesEveryPathUnchanged) {
    std::mt19937 rng(41);
    for (const PixelFormat f : kByteFormats) {
        const Image capture = RandomImage(rng, 75, 55, f);
        const Image white = Filled(310, 230, SurfaceLayerFormat(f), 0xFF);
        for (const PathCase& c : kPaths) {
            RenderParams p = GuidedExample();
            p.FlipH = c.flipH;
            p.FlipV = c.flipV;
            p.RotateAngle = c.angle;
            const Image bare = Render(capture, p);
            p.SurfaceLayer = &white;
            EXPECT_EQ(Render(capture, p), bare) << BitsPerPixel(f) << " angle " << c.angle;
        }
    }
}

// A one-pixel dot at (101, 50) and a one-pixel column at x 203 on a white
// layer, over a white picture: captured white, or captured black and
// inverted, which must not invert the strokes.
TEST(FrameLayer, DarkStrokesSurviveAndAreNotInverted) {
    struct Case {
        bool invert, flipH;
        int angle;  // 3600 takes the rotation path but turns nothing
    };
    const Case cases[] = {
        {false, false, 0}, {true, false, 0}, {true, true, 0}, {false, false, 3600}, {true, false, 3600}};
    Image layer = Filled(300, 223, PixelFormat::Bits32, 0xFF);
    layer.SetPixel32(101, 50, 0);
    for (int y = 0; y < 223; ++y) layer.SetPixel32(203, y, 0);
    for (const Case& c : cases) {
        RenderParams p = WithoutGuides(ExampleView());
        p.InvertColors = c.invert;
        p.FlipH = c.flipH;
        p.RotateAngle = c.angle;
        p.SurfaceLayer = &layer;
        const Image frame = Render(Filled(75, 55, PixelFormat::Bits32, c.invert ? 0x00 : 0xFF), p);
        int wrong = 0;
        for (int y = 0; y < 223; ++y)
            for (int x = 0; x < 300; ++x) {
                bool dark;
                if (c.angle != 0) {  // merged at view size
                    dark = (x == 101 && y == 50) || x == 203;
                } else {  // reduced to the sampled size: the cells holding the strokes
                    int sx = NearestSource(x, 300, 75);
                    if (c.flipH) sx = 74 - sx;
                    dark = (sx == 101 / 4 && NearestSource(y, 223, 55) == 12) || sx == 203 / 4;
                }
                wrong += frame.Pixel32(x, y) != (dark ? 0u : 0xFFFFFFFFu);
            }
        EXPECT_EQ(wrong, 0) << "invert " << c.invert << " flip " << c.flipH << " angle " << c.angle;
    }
}

TEST(FrameLayer, PixelsBeyondASmallLayerCountAsWhite) {
    Image small = Filled(10, 10, PixelFormat::Bits32, 0xFF);
    small.SetPixel32(5, 5, 0);
    const Image empty(0, 0, PixelFormat::Bits32);
    const Image capture = Filled(75, 55, PixelFormat::Bits32, 0xFF);
    RenderParams p = WithoutGuides(ExampleView());
    p.RotateAngle = 3600;
    const Image bare = Render(capture, p);
    p.SurfaceLayer = &empty;
    EXPECT_EQ(Render(capture, p), bare);
    p.SurfaceLayer = &small;
    Image expected = bare.Clone();
    expected.SetPixel32(5, 5, 0);
    EXPECT_EQ(Render(capture, p), expected);
}

TEST(FramePipeline, DegenerateViewsNeverFail) {
    for (const auto& [w, h] : {std::pair{0, 223}, std::pair{300, 0}, std::pair{-5, -5}, std::pair{0, 0}}) {
        RenderParams p = GuidedExample();
        p.ViewWidth = w;
        p.ViewHeight = h;
        p.SrcWidth = w / 4;
        p.SrcHeight = h / 4;
        Image capture, frame;
        EXPECT_NO_THROW(RenderFrame(capture, frame, p)) << w << "x" << h;
        EXPECT_NO_THROW(DrawGuides(frame, p));
    }
    // Smaller than one magnified pixel: nothing sampled, a black frame.
    for (const PathCase& c : kPaths) {
        RenderParams p = WithoutGuides(ExampleView());
        p.ViewWidth = p.ViewHeight = 3;
        p.SrcWidth = p.SrcHeight = 0;
        p.FlipH = c.flipH;
        p.FlipV = c.flipV;
        p.RotateAngle = c.angle;
        Image capture;
        Image frame = Filled(3, 3, PixelFormat::Bits32, 0x5A);
        ASSERT_NO_THROW(RenderFrame(capture, frame, p));
        EXPECT_EQ(frame, Image(3, 3, PixelFormat::Bits32)) << c.angle;
    }
}

TEST(FramePipeline, RejectsImagesThatDoNotFit) {
    const RenderParams p = ExampleView();
    Image capture(75, 55, PixelFormat::Bits32), frame(300, 223, PixelFormat::Bits32);
    Image smallFrame(299, 223, PixelFormat::Bits32), smallCapture(75, 54, PixelFormat::Bits32);
    Image otherFormat(300, 223, PixelFormat::Bits24);
    EXPECT_THROW(RenderFrame(capture, smallFrame, p), std::invalid_argument);
    EXPECT_THROW(RenderFrame(smallCapture, frame, p), std::invalid_argument);
    EXPECT_THROW(RenderFrame(capture, otherFormat, p), std::invalid_argument);
    RenderParams withLayer = p;
    withLayer.SurfaceLayer = &otherFormat;
    EXPECT_THROW(RenderFrame(capture, frame, withLayer), std::invalid_argument);
}

}  // namespace
}  // namespace ocu
