// Start, size, always-on-top, minimise/restore and end of the main window.
#include "mainwindow/TfrmCap.h"

#include <algorithm>
#include <exception>

#include "mainwindow/Texts.h"
#include "mainwindow/ViewMath.h"
#include "pipeline/FramePipeline.h"
#include "settings/IniManager.h"

namespace ocu {

TfrmCap::TfrmCap(IPlatform& platform, TIniManager& settings)
    : p_(platform), ini_(settings), hotKeys_(platform, settings) {}

CommandStates TfrmCap::MenuStates() const {
    return ocu::MenuStates(s_, {ini_.PointerColorVisible, ini_.InfoIsHex, ini_.HotKeysAlways});
}

void TfrmCap::RefreshMenuStates() {
    const CommandStates now = MenuStates();
    int depth = 0;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind == MenuItemKind::EndSubmenu) --depth;
        if (e.Kind == MenuItemKind::Submenu) ++depth;
        // The bar's own entries have no marks and stay enabled.
        const bool onBar = e.Kind == MenuItemKind::Submenu && depth == 1;
        if (onBar || e.Kind == MenuItemKind::Separator || e.Kind == MenuItemKind::EndSubmenu) continue;
        const bool checked = now.Checked(e.Id), enabled = now.Enabled(e.Id);
        if (!shownStates_ || shownStates_->Checked(e.Id) != checked) p_.SetMenuChecked(e.Id, checked);
        if (!shownStates_ || shownStates_->Enabled(e.Id) != enabled) p_.SetMenuEnabled(e.Id, enabled);
    }
    shownStates_ = now;
}

void TfrmCap::CreateWnd() {
    s_.RotateStep = 10;
    s_.ZoomStep = 0.1f;
    hotKeys_.RegisterHotKeys();
    s_.RotateAngle = 0;
    s_.ProjectionMode = false;
    s_.GridUnit = 60;
    s_.ZoomRate = ini_.StartZoom();
    ChgWindowSize(ini_.ScaleWidth, ini_.ScaleHeight);
}

void TfrmCap::FormCreate() {
    switchTopMost(true);
    UpdateStatus();
    p_.ShowColorReadout(ini_.PointerColorVisible);
    surface_.Create();
    p_.StartCaptureTimer(ini_.SamplingInterval());
    IntRect bounds = ini_.BoundsRect;
    const IntRect work = p_.PrimaryWorkArea();
    const IntRect desktop = p_.DesktopRect();
    const long long storedW = static_cast<long long>(bounds.Right) - bounds.Left;
    const long long storedH = static_cast<long long>(bounds.Bottom) - bounds.Top;
    // A rectangle turned inside out, or larger than the whole desktop, was never this
    // window's: the system would shrink it to the screen's size but keep its far-off
    // corner, and the window would open out of reach. It opens in the work area instead,
    // with the default size or as much of the stored one as fits.
    const bool insideOut = storedW <= 0 || storedH <= 0;
    if (insideOut || storedW > desktop.Width() || storedH > desktop.Height()) {
        const IntRect d = TSettingsValues{}.BoundsRect;
        const int w = static_cast<int>(std::min<long long>(insideOut ? d.Width() : storedW, work.Width()));
        const int h = static_cast<int>(std::min<long long>(insideOut ? d.Height() : storedH, work.Height()));
        bounds = {work.Left, work.Top, work.Left + w, work.Top + h};
    }
    // A window stored on a monitor that is gone would open out of reach.
    if (!p_.IsOnAnyMonitor(bounds)) {
        const int w = bounds.Width(), h = bounds.Height();
        bounds = {work.Left, work.Top, work.Left + w, work.Top + h};
    }
    p_.SetWindowBounds(bounds);
    if (ini_.FixView) areaPick_.SetFixView(true, ini_.FixViewX, ini_.FixViewY);
}

void TfrmCap::FormResize() {
    if (!p_.IsNormalState()) return;
    hotKeys_.RegisterHotKeys();
    const IntPoint client = p_.ClientSize();
    ChgWindowSize(client.X, client.Y);
}

void TfrmCap::ChgWindowSize(int width, int height) {
    const IntPoint screen = p_.PrimaryScreenSize();
    const std::string message(text::kSizeOutOfRange), caption(text::kMessageCaption);
    if (width < 10 || width > screen.X || height < 10 || height > screen.Y) {
        p_.ShowMessage(message, caption);
        return;
    }
    try {
        p_.SetClientSize(width, height);
        const int viewTop = BarLayoutFor(dpi_).ViewTop;
        s_.ViewLeft = 0;
        s_.ViewTop = viewTop;
        s_.ViewWidth = width;
        s_.ViewHeight = height - p_.StatusBarHeight() - viewTop;
        surface_.ViewResized(width, height);
    } catch (const std::exception&) {
        p_.ShowMessage(message, caption);
    }
}

void TfrmCap::OnDpiChanged(int dpi, IntRect suggested) {
    SetDpi(dpi);
    // A rectangle turned inside out cannot be the system's meaning: the window keeps
    // its place and only the layout follows the new DPI.
    if (suggested.Width() > 0 && suggested.Height() > 0) p_.SetWindowBounds(suggested);
    // The bounds may equal the old ones, and then no resize comes: lay out here too.
    FormResize();
}

void TfrmCap::switchTopMost(bool on) {
    p_.SetTopMost(on);
    s_.TopMost = on;
    RefreshMenuStates();
}

void TfrmCap::AppMinimize() {
    p_.StopCaptureTimer();
    hotKeys_.UnregisterHotKeys();
}

void TfrmCap::AppRestore() {
    presented_.Forget();  // the first tick after a restore draws afresh
    p_.StartCaptureTimer(ini_.SamplingInterval());
    hotKeys_.RegisterHotKeys();
}

void TfrmCap::FormDestroy() {
    try {
        ini_.SetCapRate(s_.ZoomRate);
        // Not the rectangle it has now: minimised, that lies far off screen and would
        // open the next run out of reach.
        ini_.SetBoundsRect(p_.RestoredWindowRect());
    } catch (const std::exception& e) {
        // The program still ends; the user learns that the settings were not kept.
        p_.ShowMessage(e.what(), "");
    }
}

void TfrmCap::DestroyWnd() {
    hotKeys_.UnregisterHotKeys();
    surface_.Release();
    p_.InvalidateDesktop();
}

}  // namespace ocu
