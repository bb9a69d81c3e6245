// Reading the magnifier's view back from the screen: where the view lies, which source pixel
// each view pixel should show, and how far a grabbed view is from what was expected.
//
// The expectations come from the core's own rules (NearestSource for the enlargement,
// SampleOrigin for the clamping at the desktop edges, RotateBitmap for mirrors and turns),
// applied to the coordinate pattern on the root window, so a view that shows the wrong part of
// the screen, the wrong zoom or a stale picture fails pixel by pixel.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/Harness.h"
#include "support/OcumiraE2E.h"
#include "image/Image.h"
#include "mainwindow/ViewLayout.h"

namespace ocu::e2e::viewprobe {



// What the plain view (no mirror, no turn) must show for a pointer and a zoom.
struct PlainView {
    int viewWidth = 0, viewHeight = 0;
    float zoom = 1.0f;
    int cursorX = 0, cursorY = 0;
    int srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;

    // The screen pixel that view pixel (vx, vy) shows.
    std::tuple<int, int> Source(int vx, int vy) const;
    // The inverted marker square, in view coordinates (may reach outside the view).
    Rect Marker() const;
};
PlainView PredictPlainView(int viewWidth, int viewHeight, float zoom, int cursorX, int cursorY,
                           const XSession& session);

// A predicted view pixel: its colour, or nothing where the view shows something the test
// cannot know (the magnifier's own window, or pixels beyond the desktop).
using Expected = std::function<std::optional<uint32_t>(int vx, int vy)>;

// The plain view over the coordinate pattern: the source pixel's pattern colour, inverted
// inside the marker. Sources inside `hidden` (the magnifier's window) or off the desktop are
// not predicted. `invert` inverts the whole picture (the colour inversion).
Expected PlainPatternView(const PlainView& view, const XSession& session, const Rect& hidden, bool invert = false);

struct Comparison {
    long compared = 0;
    long mismatched = 0;
    std::string firstMismatches;  // a few "(vx,vy) got X want Y" for the failure message
    bool Exact() const { return compared > 0 && mismatched == 0; }
};
Comparison CompareView(const Screenshot& shot, const Expected& expected);
std::ostream& operator<<(std::ostream& out, const Comparison& c);

// The view's rectangle on the screen, found from the client area and the plain view it shows:
// the view starts kViewTop pixels below the client top and ends at the status bar, whose height is
// whatever the platform gives it; the one height whose prediction matches the grabbed view
// exactly is taken. The pointer must rest at (cursorX, cursorY) away from the window.
struct ViewLocation {
    Rect client;
    Rect view;
    Rect window;  // outer window rectangle
};
// `viewTop` is where the view begins below the client top: kViewTop at 96 dpi.
std::optional<ViewLocation> LocateView(const XSession& session, XWindow window, float zoom, int cursorX, int cursorY,
                                       Milliseconds timeout = 30s, std::string* why = nullptr, int viewTop = kViewTop,
                                       Edge edge = Edge::Wine);

// Polls grabs of `view` until one matches `expected` exactly; returns the last comparison and
// leaves the last grab in `last` when given.
Comparison WaitForView(const XSession& session, const Rect& view, const Expected& expected, Milliseconds timeout = 15s,
                       Screenshot* last = nullptr);

// View pixels (every third) that do not show the root point the area whose top left is
// (left, top) puts there at `zoom`; the first few are described in `first`. Pixels inside
// `skip` (view coordinates, e.g. the pointer's marker) are not checked.
int WrongAreaPixels(const Screenshot& view, int left, int top, float zoom, std::string* first, Rect skip = {});
// True once the view at `view` on the root shows the area whose top left is (left, top) at
// `zoom`, and while it goes on showing it for about ten capture ticks: a frame left over from
// before the last move does not count. `why` tells the first wrong pixels otherwise.
bool ViewShowsArea(const XSession& session, const Rect& view, int left, int top, float zoom, std::string* why,
                   Rect skip = {});

// Screenshot <-> core image (32 bits, 0x00RRGGBB both ways).
Image ToImage(const Screenshot& shot);
Expected ExactImage(const Image& image);

// The pixels of the sampled area as the plain view shows them (marker removed), rebuilt from
// a grab of that plain view: what the capture held before it was enlarged.
Image SampledArea(const Screenshot& plainView, const PlainView& view);

// The plain view's picture with a mirror applied at the sampled size and enlarged again, then
// the marker drawn unmirrored: what the mirror path shows.
Image MirroredView(const Screenshot& plainView, const PlainView& view, bool topBottom);

// Saves a grab as PNG (through ImageMagick) under $OCU_E2E_SHOTS, or under the system temp
// folder when that is unset; returns the path, empty if it could not be written.
std::filesystem::path SaveShot(const Screenshot& shot, const std::string& name);

// The zoom shown in the window title ("倍率:2.0倍"); nullopt if the title has none.
std::optional<double> TitleZoom(const std::string& title);

// The settings file's value of `key` in `section`; nullopt if missing.
std::optional<std::string> IniValue(const std::string& ini, const std::string& section, const std::string& key);

// The window title of the magnifier's main window, and its X window.
inline constexpr const char* kTitlePrefix = "Lumivane Ocumira";

// Settings that put the window at the right of a 1280 x 1024 screen, with the zoom given in
// tenths; the left part of the screen is then free to be sampled.
std::string RightSideIni(int capRateTenths, int runCount = 10);
inline constexpr Rect kWindowBounds{860, 250, 400, 500};

// Clicks the information bar at the top of the client area so the main window has the keyboard
// focus, then puts the pointer back at (restoreX, restoreY). Not the caption: a press there
// starts the window's move loop, and a pointer moved away before the release is handled drags
// the window along.
// The native program's window is activated through the window manager instead.
void FocusMainWindow(XSession& session, const Rect& client, int restoreX, int restoreY, XWindow window = 0,
                     Edge edge = Edge::Wine);

// A test with one Ocumira.exe started over the coordinate pattern, its window at the right of
// the screen, the pointer resting at (kRestX, kRestY) in the free left part, the view located
// and the main window focused. Skips when the Windows build is missing.
class MagnifierE2E : public OcumiraE2E {
protected:
    static constexpr int kRestX = 300, kRestY = 400;

    void SetUp() override;
    // The X server the test runs on; one 1280 x 1024 monitor unless a test says otherwise.
    virtual XSession::Options SessionOptions() const { return {}; }
    // False (with the reason recorded as a failure) if the window or its view did not appear.
    bool Start(int capRateTenths, std::optional<std::string> ini = std::nullopt);

    XSession& Session() { return *session_; }
    Program& App() { return *app_; }
    // The window's outer rectangle as the settings file stores it.
    std::optional<Rect> Outer() const { return OuterBounds(*session_, window_, TestedEdge()); }
    XWindow Window() const { return window_; }
    const ViewLocation& Where() const { return where_; }
    const Rect& View() const { return where_.view; }
    // The plain view of this window for a zoom and a pointer position.
    PlainView Plain(float zoom, int cursorX = kRestX, int cursorY = kRestY) const;
    // Its expected pixels over the pattern (the window's own area left out).
    Expected PlainPattern(const PlainView& plain, bool invert = false) const;

private:
    std::optional<XSession> session_;
    std::optional<Program> app_;
    XWindow window_ = 0;
    ViewLocation where_;
};

}  // namespace ocu::e2e::viewprobe
