#include "pipeline/ViewSource.h"

#include <gtest/gtest.h>

#include "pipeline/FramePipeline.h"

namespace ocu {
namespace {

// Every view pixel of a rendered frame shows the sampled pixel the mapping
// names, or the background where it names none; sizes odd and even, mirrored
// or not, plain and turned.
TEST(ViewSourcePixelTest, NamesThePixelTheRenderedFrameShows) {
    const int sw = 12, sh = 7;
    Image capture(sw, sh, PixelFormat::Bits32);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) capture.SetPixel32(x, y, 0x100000u + static_cast<std::uint32_t>(y * 256 + x));
    for (const int angle : {0, 450, 1370, 900, 1800, 2913})
        for (const int mirror : {0, 1, 2})
            for (const int vw : {37, 36}) {
                RenderParams p;
                p.ViewWidth = vw;
                p.ViewHeight = 24;
                p.SrcWidth = sw;
                p.SrcHeight = sh;
                p.ZoomRate = 3.1f;
                p.FlipH = mirror == 1;
                p.FlipV = mirror == 2;
                p.RotateAngle = angle;
                p.CursorX = p.CursorY = -1000;  // no marker over the view
                Image frame(vw, p.ViewHeight, PixelFormat::Bits32), scratch = capture.Clone();
                RenderFrame(scratch, frame, p);
                for (int y = 0; y < p.ViewHeight; ++y)
                    for (int x = 0; x < vw; ++x) {
                        const auto s = ViewSourcePixel({x, y}, p);
                        const std::uint32_t want = s ? capture.Pixel32(s->X, s->Y) : 0xFFFFFFu;
                        ASSERT_EQ(frame.Pixel32(x, y) & 0xFFFFFF, want & 0xFFFFFF)
                            << x << "," << y << " angle " << angle << " mirror " << mirror << " width " << vw;
                    }
                EXPECT_FALSE(ViewSourcePixel({vw, 0}, p));
                EXPECT_FALSE(ViewSourcePixel({-1, 0}, p));
            }
}

}  // namespace
}  // namespace ocu
