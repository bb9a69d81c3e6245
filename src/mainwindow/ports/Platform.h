#pragma once
// The port: everything the main window's behaviour asks of the window system.
// The Win32 implementation lives in platform/win32/; the tests use a recording
// fake. Methods are small and literal so that every rule of the behaviour stays
// in the core and the edge only translates.
#include <cstdint>
#include <optional>
#include <string>

#include "base/Geometry.h"
#include "image/Image.h"
#include "mainwindow/Commands.h"
#include "mainwindow/MouseInput.h"

namespace ocu {

enum class CursorShape : std::uint8_t { Arrow, Hand };

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // --- screen -------------------------------------------------------------
    virtual IntRect DesktopRect() = 0;          // the virtual screen, read afresh
    virtual IntPoint PrimaryScreenSize() = 0;   // SM_CXSCREEN, SM_CYSCREEN
    virtual PixelFormat ScreenFormat() = 0;     // the format of captured frames
    virtual IntPoint CursorPos() = 0;
    virtual void SetCursorPos(IntPoint p) = 0;
    // Copies the screen area (x, y, w, h) into a platform-owned buffer in the
    // screen's pixel format and returns a view of it, or nullptr on failure. The
    // view stays valid until the next call.
    virtual Image* CaptureScreen(int x, int y, int w, int h) = 0;
    // A platform-owned buffer of w x h in the screen's format for the finished
    // frame; valid until the next call. nullptr on failure.
    virtual Image* FrameBuffer(int w, int h) = 0;
    // Shows the frame buffer at the view's place in the main window's client area.
    virtual void ShowFrame(int left, int top, int w, int h) = 0;
    // Asks every window to repaint with its background erased.
    virtual void InvalidateDesktop() = 0;
    // The screen marker of a pick: save the pixels of a screen rectangle, put them
    // back, draw a dashed black outline or the red frame of a target pick.
    virtual void SaveScreenBackup(IntRect area) = 0;
    virtual void RestoreScreenBackup(IntRect area) = 0;
    virtual void DrawPickOutline(IntRect r) = 0;
    virtual void DrawTargetFrame(IntRect r) = 0;

    // --- the main window ------------------------------------------------------
    virtual IntRect WindowRect() = 0;                 // outer bounds, screen coordinates
    // The outer bounds the window has when neither minimised nor maximised, in screen
    // coordinates whatever its state: what a later start should open with.
    virtual IntRect RestoredWindowRect() = 0;
    virtual IntPoint ClientSize() = 0;
    virtual bool IsOnAnyMonitor(IntRect r) = 0;       // some part of r lies on a monitor
    virtual IntRect PrimaryWorkArea() = 0;
    virtual void SetWindowBounds(IntRect r) = 0;      // may call back OnResize
    virtual void MoveWindowTo(int left, int top) = 0;
    virtual void SetClientSize(int w, int h) = 0;     // may call back OnResize
    virtual int StatusBarHeight() = 0;
    virtual bool IsActiveWindow() = 0;
    virtual bool IsNormalState() = 0;                 // neither minimised nor maximised
    virtual void ActivateMainWindow() = 0;            // activation handling of a press on an inactive window
    virtual void SetTopMost(bool on) = 0;
    virtual void ForceForeground() = 0;               // past the foreground lock
    virtual void SetTitle(const std::string& utf8) = 0;
    virtual void SetStatusText(int panel, const std::string& utf8) = 0;
    // The colour under the pointer: a small square of it (0x00RRGGBB; none when empty) and its text.
    virtual void SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& utf8) = 0;
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

    // --- modal input -------------------------------------------------------------
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // One-line input box; nullopt when cancelled.
    virtual std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                                const std::string& initial) = 0;

    // --- timers ---------------------------------------------------------------------
    virtual void StartCaptureTimer(int intervalMs) = 0;
    virtual void StopCaptureTimer() = 0;
    virtual void StartRepeatTimer(int intervalMs) = 0;
    virtual void StopRepeatTimer() = 0;

    // --- hot keys ---------------------------------------------------------------------
    virtual bool RegisterHotKey(int id, Modifier modifier, Key key) = 0;
    virtual void UnregisterHotKey(int id) = 0;

    // --- other windows and synthetic input ---------------------------------------------
    virtual WindowHandle WindowFromPoint(IntPoint screen) = 0;
    // The child of `parent` at a screen point (converted to its client coordinates), 0 if none.
    virtual WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) = 0;
    virtual std::string ClassNameOf(WindowHandle w) = 0;   // UTF-8
    virtual std::string WindowTextOf(WindowHandle w) = 0;  // UTF-8
    virtual IntRect WindowRectOf(WindowHandle w) = 0;
    // Sends a mouse message at a point of w's client area; false when the window did
    // not answer within timeoutMs or is gone.
    virtual bool SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                  int timeoutMs) = 0;
    virtual void InjectMouseButton(InjectedButton b) = 0;
    // Blocks the calling thread for `ms` milliseconds.
    virtual void Pause(int ms) = 0;
};

}  // namespace ocu
