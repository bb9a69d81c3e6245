#pragma once
// The main window itself: its bounds and state, its title, status and colour
// readout, the pointer's shape and capture over it, and its menus' marks.
#include <cstdint>
#include <optional>
#include <string>

#include "base/Geometry.h"
#include "mainwindow/Commands.h"

namespace ocu {

enum class CursorShape : std::uint8_t { Arrow, Hand };

class WindowPort {
public:
    virtual ~WindowPort() = default;

    virtual IntRect WindowRect() = 0;  // outer bounds, screen coordinates
    // The outer bounds the window has when neither minimised nor maximised, in screen
    // coordinates whatever its state: what a later start should open with.
    virtual IntRect RestoredWindowRect() = 0;
    virtual IntPoint ClientSize() = 0;
    virtual bool IsOnAnyMonitor(IntRect r) = 0;  // some part of r lies on a monitor
    virtual IntRect PrimaryWorkArea() = 0;
    virtual void SetWindowBounds(IntRect r) = 0;  // may call back OnResize
    virtual void MoveWindowTo(int left, int top) = 0;
    virtual void SetClientSize(int w, int h) = 0;  // may call back OnResize
    virtual int StatusBarHeight() = 0;
    virtual bool IsActiveWindow() = 0;
    virtual bool IsNormalState() = 0;  // neither minimised nor maximised
    virtual void SetTopMost(bool on) = 0;
    virtual void ForceForeground() = 0;  // past the foreground lock
    virtual void SetTitle(const std::string& utf8) = 0;
    virtual void SetStatusText(int panel, const std::string& utf8) = 0;
    // The colour under the pointer: a small square of it (0x00RRGGBB; none when empty) and its text.
    virtual void SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& utf8) = 0;
    // Gives the readout its panel right of the hint, or takes it away (the hint alone, the default).
    virtual void ShowColorReadout(bool shown) = 0;
    virtual IntPoint ClientOrigin() = 0;  // the client area's top-left on the screen
    virtual void SetCursorShape(CursorShape shape) = 0;
    virtual void SetMouseCapture() = 0;
    virtual void ReleaseMouseCapture() = 0;
    virtual void RepaintToolBar() = 0;
    virtual void RepaintMainWindow() = 0;
    virtual void CloseMainWindow() = 0;

    // --- menus -----------------------------------------------------------------
    virtual void SetMenuChecked(CommandId id, bool checked) = 0;
    virtual void SetMenuEnabled(CommandId id, bool enabled) = 0;
    virtual void SetMenuCaption(CommandId id, const std::string& utf8) = 0;
};

}  // namespace ocu
