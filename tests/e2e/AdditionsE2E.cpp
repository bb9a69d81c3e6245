// Through the real programs: the colour under the pointer, Ctrl + wheel zoom, hot keys held only
// while the window is active, PNG saving, and the window's usual look while none of them is
// asked for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "e2e/EdgeSteps.h"
#include "e2e/ModeProbe.h"
#include "mainwindow/PointerColor.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

namespace fs = std::filesystem;

class AdditionsE2E : public OnBothEdges<OcumiraE2E> {
protected:
    // The output of a shell command on the test's display (stderr folded in).
    std::string Shell(const std::string& command, bool* ok = nullptr)
    {
        return e2e::Shell("DISPLAY=" + session_.DisplayName() + " " + command, ok);
    }

    // Gives the main window the keyboard with a click on its view (a click on the caption
    // leaves Wine in its window-move loop, which swallows the keys), the pointer then put at
    // (restX, restY). The native window is activated through the window manager.
    void FocusMain(int restX, int restY)
    {
        auto foreground = [&] { return MainIsActive(session_, TestedEdge(), m_->Window()); };
        if (!foreground() && TestedEdge() == Edge::Wine) m_->ClickView(10, 10);
        if (!foreground() && TestedEdge() == Edge::Native) Activate(session_, m_->Window());
        session_.MovePointer(restX, restY);
        ASSERT_TRUE(PollUntil(foreground, 10s, 100ms)) << "the main window did not come to the foreground";
        ASSERT_TRUE(WaitFor(
            "the main window to have the keyboard focus", [&] { return session_.FocusedWindow() == m_->Window(); },
            10s));
    }

    // The hint line above the tool bar.
    Screenshot InfoStrip() const
    {
        const Rect& c = m_->Client();
        return session_.Grab(c.x, c.y, c.width, 17);
    }

    // A square of `rgb` (at least 6 x 6) in the hint line, right of the hint.
    bool SwatchShows(uint32_t rgb) const
    {
        const Screenshot s = InfoStrip();
        for (int y = 0; y + 6 <= s.height; ++y)
            for (int x = 200; x + 6 <= s.width; ++x) {
                bool all = true;
                for (int dy = 0; dy < 6 && all; ++dy)
                    for (int dx = 0; dx < 6 && all; ++dx) all = s.At(x + dx, y + dy) == rgb;
                if (all) return true;
            }
        return false;
    }

    std::string ClipboardText() { return e2e::ClipboardText(session_, TestedEdge()); }
    void Choose(CommandId id) { ChooseFromMenu(session_, TestedEdge(), m_->Window(), id); }
    void StartOver(int x, int y, const StartSettings& settings = {})
    {
        session_.PaintPattern();
        session_.MovePointer(x, y);
        m_ = std::make_unique<Magnifier>(session_, SettingsText(settings), TestedEdge());
        ASSERT_NO_FATAL_FAILURE(m_->Start());
    }

    XSession session_;
    std::unique_ptr<Magnifier> m_;
};

TEST_P(AdditionsE2E, ColourUnderThePointerIsShownSwitchedAndCopied)
{
    ASSERT_NO_FATAL_FAILURE(StartOver(400, 600, {.colorShown = true}));

    // Following the pointer: the pixel under it.
    for (const auto& [x, y] : {std::pair{400, 600}, {401, 600}, {123, 45}}) {
        session_.MovePointer(x, y);
        const uint32_t want = XSession::PatternColor(x, y);
        EXPECT_TRUE(PollUntil([&] { return SwatchShows(want); }, 10s))
            << "no swatch of " << ColorText(want, true) << " for " << x << "," << y << ": "
            << SaveShot(session_.GrabRoot(), "colour-follow");
    }
    Choose(CommandId::mmCopyColor);
    EXPECT_TRUE(PollUntil([&] { return ClipboardText() == ColorText(XSession::PatternColor(123, 45), true); }, 10s))
        << ClipboardText();
    SaveShot(session_.GrabRoot(), "colour-hex");

    // Decimal through the menu entry; the stored key follows.
    Choose(CommandId::mmColorHex);
    EXPECT_TRUE(PollUntil(
        [&] {
            Choose(CommandId::mmCopyColor);
            return ClipboardText() == ColorText(XSession::PatternColor(123, 45), false);
        },
        15s))
        << ClipboardText();
    ASSERT_TRUE(m_->App().Close());
    EXPECT_EQ(IniValue(m_->App().ReadIni().value_or(""), "InfoIsHex"), "0");
}

// Chosen with the mouse from the open menu, the copy is the colour pointed at before, not the
// colour of the menu entry the pointer rests on.
TEST_P(AdditionsE2E, ColourCopiedWithThePointerFromTheMenuIsTheColourPointedAt)
{
    ASSERT_NO_FATAL_FAILURE(StartOver(400, 600, {.colorShown = true}));
    ASSERT_NO_FATAL_FAILURE(FocusMain(123, 45));
    const uint32_t want = XSession::PatternColor(123, 45);
    ASSERT_TRUE(PollUntil([&] { return SwatchShows(want); }, 10s));
    ASSERT_TRUE(m_->OpenMenuByKeys(3));  // 画像を保存
    const auto menu = m_->DropDown();
    ASSERT_TRUE(menu) << SaveShot(session_.GrabRoot(), "colour-menu");
    // The copy is the drop-down's last entry. The view follows the pointer onto the menu,
    // so a changed picture says a tick has read the pointer there.
    const Screenshot before = m_->GrabView();
    session_.MovePointer(menu->x + menu->width / 2, menu->y + menu->height - 8);
    ASSERT_TRUE(WaitFor(
        "the view to show the menu", [&] { return m_->GrabView().pixels != before.pixels; }, 10s));
    session_.Click(1);
    EXPECT_TRUE(PollUntil([&] { return ClipboardText() == ColorText(want, true); }, 10s))
        << ClipboardText() << " " << SaveShot(session_.GrabRoot(), "colour-menu");
    ASSERT_TRUE(m_->App().Close());
}

TEST_P(AdditionsE2E, PinnedViewReadsThePixelTheViewShowsUnderThePointer)
{
    ASSERT_NO_FATAL_FAILURE(StartPinnedOnPattern(session_, m_, TestedEdge()));
    Choose(CommandId::mmColorShow);
    // Over the view, at a few points of the magnified picture: the colour the view shows there
    // (which is the pinned pattern pixel, not the screen pixel a pointer elsewhere would read).
    for (const auto& [vx, vy] : {std::pair{10, 10}, {m_->View().width - 7, 33}, {101, m_->View().height - 5}}) {
        const int sx = m_->ScreenX(vx), sy = m_->ScreenY(vy);
        session_.MovePointer(sx, sy);
        // The drop-down just closed covers the first point until the view's next paint.
        uint32_t shown = 0;
        EXPECT_TRUE(PollUntil(
            [&] {
                shown = session_.Grab(sx, sy, 1, 1).At(0, 0);
                const auto [px, py] = XSession::DecodePattern(shown);
                return px >= 200 && px < 400 && py >= 300 && py < 500;
            },
            5s))
            << "the view does not show the pinned area at view " << vx << "," << vy;
        EXPECT_TRUE(PollUntil([&] { return SwatchShows(shown); }, 10s))
            << ColorText(shown, true) << " at view " << vx << "," << vy << ": "
            << SaveShot(session_.GrabRoot(), "colour-pinned");
    }
    SaveShot(session_.GrabRoot(), "colour-pinned");
    ASSERT_TRUE(m_->App().Close());
}

TEST_P(AdditionsE2E, CtrlWheelOverTheViewZooms)
{
    ASSERT_NO_FATAL_FAILURE(StartOver(400, 600));
    m_->ClickView(2, m_->View().height - 3);  // focus, the pointer resting on the view
    bool ok = false;
    Shell("xdotool keydown ctrl click 4 keyup ctrl", &ok);
    ASSERT_TRUE(ok) << "xdotool";
    EXPECT_TRUE(PollUntil([&] { return m_->ZoomText() == "2.1"; }, 10s)) << m_->Title();
    // A plain wheel does not zoom; two notches down with Ctrl do, by 0.1 each.
    Shell("xdotool click 4");
    Shell("xdotool keydown ctrl click 5 click 5 keyup ctrl");
    EXPECT_TRUE(PollUntil([&] { return m_->ZoomText() == "1.9"; }, 10s)) << m_->Title();
    // Over the tool bar it is no zoom either.
    session_.MovePointer(m_->Client().x + 5, m_->Client().y + 30);
    Shell("xdotool keydown ctrl click 4 keyup ctrl");
    session_.MovePointer(m_->ScreenX(4), m_->ScreenY(4));
    Shell("xdotool keydown ctrl click 4 keyup ctrl");
    EXPECT_TRUE(PollUntil([&] { return m_->ZoomText() == "2.0"; }, 10s)) << m_->Title();
    ASSERT_TRUE(m_->App().Close());
    EXPECT_EQ(IniValue(m_->App().ReadIni().value_or(""), "CapRate"), "20");
}

TEST_P(AdditionsE2E, ClearedEntryLeavesTheHotKeysToTheActiveProgram)
{
    ASSERT_NO_FATAL_FAILURE(StartOver(400, 600));

    // The entry of 設定 is checked by default; chosen, it clears.
    Choose(CommandId::mmHotKeysAlways);

    // Another program active: Ctrl+A and the rest are free, and Ctrl+A does not zoom.
    Program other(session_, Program::Helper("helper_target", {"100", "100", "150", "100", "other.log"}, TestedEdge()));
    ASSERT_TRUE(PollUntil([&] { return session_.Grab(110, 110, 1, 1).At(0, 0) == 0xFFFFFF; }, 20s));
    session_.MovePointer(150, 150);
    session_.Click(1);
    ASSERT_TRUE(PollUntil([&] { return !MainIsActive(session_, TestedEdge(), m_->Window()); }, 10s, 100ms));
    std::string seen;
    auto all = [&](const std::string& state) {
        return PollUntil(
            [&] {
                const auto states = HotKeyStates(session_, TestedEdge());
                seen.clear();
                for (size_t i = 0; i < states.size(); ++i)
                    seen += std::string(kHotKeyCombos[i]) + "=" + states[i] + " ";
                return std::all_of(states.begin(), states.end(), [&](const std::string& s) { return s == state; });
            },
            20s, 100ms);
    };
    EXPECT_TRUE(all("free")) << "another program active: " << seen;
    session_.KeyCombo("ctrl+a");

    // Ocumira active again: it holds them.
    ASSERT_NO_FATAL_FAILURE(FocusMain(400, 600));
    EXPECT_TRUE(all("taken")) << "Ocumira active: " << seen;
    EXPECT_EQ(m_->ZoomText(), "2.0") << "Ctrl+A acted while another program was active";
    // ...and Ctrl+A is its hot key again: 0.1 up, not the menu entry's 1.
    session_.KeyCombo("ctrl+a");
    EXPECT_TRUE(PollUntil([&] { return m_->ZoomText() == "2.1"; }, 10s, 100ms))
        << "Ctrl+A with Ocumira active: " << m_->ZoomText();
    SaveShot(session_.GrabRoot(), "hotkeys-active-only");
    ASSERT_TRUE(m_->App().Close());
    EXPECT_EQ(IniValue(m_->App().ReadIni().value_or(""), "HotKeysAlways"), "0");
}

// A first start shows the program as it always looked: the hint line is the hint alone, the
// additions follow each menu's own entries behind a separator. The colour's entry brings the
// readout.
TEST_P(AdditionsE2E, DefaultWindowKeepsTheBarsAndMenusTheAdditionsComeOnRequest)
{
    ASSERT_NO_FATAL_FAILURE(StartOver(123, 45));
    const uint32_t under = XSession::PatternColor(160, 90);
    // A panel ends in a sunken edge, whose right side is a white line through the bar's whole
    // height; a black text draws none. Only the last panel's edge lies at the bar's far end.
    auto panelEdge = [&] {
        const Screenshot s = InfoStrip();
        for (int x = 100; x < s.width - 12; ++x) {
            bool line = true;
            for (int y = 3; y < s.height - 3 && line; ++y) line = s.At(x, y) == 0xFFFFFF;
            if (line) return true;
        }
        return false;
    };
    // The view follows the pointer: ticks in which a readout would be drawn.
    const Screenshot first = m_->GrabView();
    session_.MovePointer(160, 90);
    ASSERT_TRUE(WaitFor(
        "the view to follow", [&] { return m_->GrabView().pixels != first.pixels; }, 10s));
    EXPECT_FALSE(panelEdge() || SwatchShows(under)) << SaveShot(session_.GrabRoot(), "look-default-window");

    // Walked with the keyboard from the first entry, past the save menu's own three and the
    // separator: PNG, then the readout's entry.
    ASSERT_NO_FATAL_FAILURE(FocusMain(160, 90));
    ASSERT_TRUE(m_->OpenMenuByKeys(3));
    SaveShot(session_.GrabRoot(), "look-save-menu");
    for (int i = 0; i < 4; ++i) session_.KeyCombo("Down");
    session_.KeyCombo("Return");
    EXPECT_TRUE(PollUntil([&] { return SwatchShows(under) && panelEdge(); }, 10s))
        << SaveShot(session_.GrabRoot(), "look-readout");
    // In 設定, past its three: the hot keys' scope.
    ASSERT_NO_FATAL_FAILURE(FocusMain(160, 90));
    ASSERT_TRUE(m_->OpenMenuByKeys(6));
    SaveShot(session_.GrabRoot(), "look-setting-menu");
    for (int i = 0; i < 3; ++i) session_.KeyCombo("Down");
    session_.KeyCombo("Return");
    ASSERT_TRUE(WaitFor(
        "the menu to close", [&] { return !m_->DropDown(); }, 10s));
    ASSERT_TRUE(m_->App().Close());
    const std::string ini = m_->App().ReadIni().value_or("");
    EXPECT_EQ(IniValue(ini, "PointerColorVisible"), "1");
    EXPECT_EQ(IniValue(ini, "HotKeysAlways"), "0");
}

TEST_P(AdditionsE2E, PngHoldsTheViewAsShown)
{
    char folder[] = "/tmp/ocu-e2e-png-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const fs::path out = folder;
    ASSERT_NO_FATAL_FAILURE(StartPinnedOnPattern(session_, m_, TestedEdge()));
    Screenshot view = m_->GrabView();
    ASSERT_TRUE(PollUntil(
        [&] {
            const Screenshot now = m_->GrabView();
            const bool same = now.pixels == view.pixels;
            view = now;
            return same;
        },
        10s, 100ms));

    Choose(CommandId::mmSavePngFile);
    ASSERT_TRUE(SaveThroughTheDialog(session_, TestedEdge(), m_->App().Pid(), out / "view.jpg"))
        << SaveShot(session_.GrabRoot(), "png-save-dialog");
    const fs::path png = out / "view.png";
    ASSERT_TRUE(PollUntil([&] { return fs::exists(png) && fs::file_size(png) > 0; }, 20s))
        << SaveShot(session_.GrabRoot(), "png-not-saved");
    EXPECT_FALSE(fs::exists(out / "view.jpg"));
    // Let the write finish (it is moved into place whole).
    const std::string identify = Shell("identify -format '%m %w %h' '" + png.string() + "'");
    EXPECT_EQ(identify, "PNG " + std::to_string(view.width) + " " + std::to_string(view.height));
    bool ok = false;
    const std::string raw = Shell("convert '" + png.string() + "' -depth 8 rgb:-", &ok);
    ASSERT_TRUE(ok) << raw.substr(0, 200);
    ASSERT_EQ(raw.size(), view.pixels.size() * 3);
    long wrong = 0;
    for (size_t i = 0; i < view.pixels.size(); ++i) {
        const uint32_t rgb =
            uint32_t(uint8_t(raw[3 * i])) << 16 | uint32_t(uint8_t(raw[3 * i + 1])) << 8 | uint8_t(raw[3 * i + 2]);
        wrong += rgb != view.pixels[i];
    }
    EXPECT_EQ(wrong, 0) << SaveShot(view, "png-view");
    ASSERT_TRUE(m_->App().Close());
    std::error_code ignored;
    if (!std::getenv("OCU_E2E_KEEP")) fs::remove_all(out, ignored);
}

OCU_ON_BOTH_EDGES(AdditionsE2E);

}  // namespace
}  // namespace ocu::e2e
