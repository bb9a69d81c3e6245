// Grid, centre lines, colour inversion and the sampling rate of the real programs: the
// guides must invert exactly every other pixel of their lines and nothing else, the inversion
// must turn every captured colour around, and a new sampling rate must reach the settings file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/Harness.h"
#include "e2e/ViewProbe.h"

namespace ocu::e2e {
namespace {

using namespace viewprobe;

class GuidesE2E : public OnBothEdges<MagnifierE2E> {};

// Which view pixels the dotted lines invert: a line's dots lie at even distances from its
// start (the top for an upright line, the left for a level one). Where two dots cross they
// cancel, as two inversions do.
class GuideMask {
public:
    GuideMask(int width, int height) : width_(width), height_(height), odd_(static_cast<size_t>(width) * height) {}
    void Upright(int x)
    {
        if (x >= width_) return;
        for (int y = 0; y < height_; y += 2) Flip(x, y);
    }
    void Level(int y)
    {
        if (y >= height_) return;
        for (int x = 0; x < width_; x += 2) Flip(x, y);
    }
    void Grid(int unit)
    {
        for (int k = 1; k <= width_ / unit; ++k) Upright(k * unit);
        for (int k = 1; k <= height_ / unit; ++k) Level(k * unit);
    }
    void CentreLines()
    {
        Upright(width_ / 2);
        Level(height_ / 2);
    }
    bool Inverted(int x, int y) const { return odd_[static_cast<size_t>(y) * width_ + x]; }

private:
    void Flip(int x, int y) { odd_[static_cast<size_t>(y) * width_ + x] = !odd_[static_cast<size_t>(y) * width_ + x]; }
    int width_, height_;
    std::vector<bool> odd_;
};

Expected WithGuides(const Screenshot& plain, const GuideMask& mask, bool invertAll)
{
    return [&plain, &mask, invertAll](int x, int y) -> std::optional<uint32_t> {
        uint32_t c = plain.At(x, y);
        if (mask.Inverted(x, y)) c ^= 0xFFFFFF;
        if (invertAll) c ^= 0xFFFFFF;
        return c;
    };
}

// One run: the 60-pixel grid (Ctrl+G), then the centre lines on top, then the colour inversion,
// each checked pixel by pixel against the plain view grabbed first; then the sampling-rate box
// takes 250, and that is what the settings file holds after the exit.
TEST_P(GuidesE2E, GuidesInvertTheirDotsInversionTurnsColoursAroundAndSamplingRateIsStored)
{
    ASSERT_TRUE(Start(20));
    XSession& session = Session();
    const Rect& view = View();
    Screenshot plain;
    ASSERT_TRUE(WaitForView(session, view, PlainPattern(Plain(2.0f)), 15s, &plain).Exact());

    GuideMask grid(view.width, view.height);
    grid.Grid(60);
    session.KeyCombo("ctrl+g");
    auto result = WaitForView(session, view, WithGuides(plain, grid, false));
    EXPECT_TRUE(result.Exact()) << "60-pixel grid: " << result;

    GuideMask both = grid;
    both.CentreLines();
    ChooseCommand(session, TestedEdge(), CommandId::mmGrid);
    Screenshot shot;
    result = WaitForView(session, view, WithGuides(plain, both, false), 15s, &shot);
    EXPECT_TRUE(result.Exact()) << "grid and centre lines: " << result;
    SaveShot(shot, "guides-grid-centre");

    // Inverted capture: every pixel off the guides is the pattern colour turned around; the
    // guides, drawn after the capture, invert that in turn.
    ChooseCommand(session, TestedEdge(), CommandId::mmSrcNot);
    result = WaitForView(session, view, WithGuides(plain, both, true), 15s, &shot);
    EXPECT_TRUE(result.Exact()) << "inverted: " << result;
    SaveShot(shot, "guides-grid-centre-inverted");
    // Grid and centre lines off again, inversion on: the plain picture turned around exactly.
    session.KeyCombo("ctrl+g");
    ChooseCommand(session, TestedEdge(), CommandId::mmGrid);
    result = WaitForView(session, view, PlainPattern(Plain(2.0f), true));
    EXPECT_TRUE(result.Exact()) << "inverted without guides: " << result;

    ChooseCommand(session, TestedEdge(), CommandId::mmSampRate);
    const XWindow box = session.FindWindowByTitlePrefix("サンプリングレート", 10s);
    ASSERT_NE(box, 0u) << "the sampling-rate box did not open";
    // The box opens with the current rate, 100.
    session.KeyCombo("End");
    for (int i = 0; i < 4; ++i) session.KeyCombo("BackSpace");
    session.TypeText("250\n");
    EXPECT_TRUE(PollUntil([&] { return !session.IsShown(box); }, 5s)) << "the box stayed open";
    // The view goes on at the new rate.
    session.MovePointer(kRestX + 40, kRestY);
    result = WaitForView(session, view, PlainPattern(Plain(2.0f, kRestX + 40, kRestY), true));
    EXPECT_TRUE(result.Exact()) << "after the new sampling rate: " << result;

    ASSERT_TRUE(App().Close(Window()));
    const auto saved = App().ReadIni();
    ASSERT_TRUE(saved);
    EXPECT_EQ(IniValue(*saved, "Zuri", "SamplingRate"), "250");
}

OCU_ON_BOTH_EDGES(GuidesE2E);

}  // namespace
}  // namespace ocu::e2e
