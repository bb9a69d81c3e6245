#pragma once
// The port implemented with Win32. Every method is a literal translation: the
// rules of the program stay in the core.
#include <windows.h>

#include "mainwindow/FactsCache.h"
#include "mainwindow/ports/Platform.h"
#include "platform/win32/DibSection.h"
#include "platform/win32/ScreenCapture.h"
#include "platform/win32/ScreenMarker.h"

namespace ocu::win {

class MenuBar;
class StatusBar;

inline constexpr UINT_PTR kCaptureTimerId = 1;  // drives the capture tick
inline constexpr UINT_PTR kRepeatTimerId = 2;   // repeats a held tool button

// The pieces of the main window the port acts on; the window hands them over
// once they exist and takes them back before they go.
struct MainWindowParts {
    HWND Window = nullptr;
    StatusBar* Status = nullptr;  // the four panels under the view
    HWND ToolBar = nullptr;
    const MenuBar* Menu = nullptr;
    StatusBar* Info = nullptr;  // the hint line above the tool bar
};

class Win32Platform final : public IPlatform {
public:
    explicit Win32Platform(HINSTANCE instance);
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    void Attach(const MainWindowParts& parts) { parts_ = parts; }
    void Detach() { parts_ = {}; }
    // From WM_DESTROY on, message boxes no longer take the dying window as owner.
    void SetDestroying(bool on) { destroying_ = on; }
    HCURSOR CurrentCursor() const { return cursor_; }
    HWND Owner() const;

    // --- screen
    IntRect DesktopRect() override;
    IntPoint PrimaryScreenSize() override;
    PixelFormat ScreenFormat() override;
    IntPoint CursorPos() override;
    void SetCursorPos(IntPoint p) override;
    Image* CaptureScreen(int x, int y, int w, int h) override;
    Image* FrameBuffer(int w, int h) override;
    void ShowFrame(int left, int top, int w, int h) override;
    const Image* ShownFrame(IntRect& where) override;
    void InvalidateDesktop() override;
    void SaveScreenBackup(IntRect area) override;
    void RestoreScreenBackup(IntRect area) override;
    void DrawPickOutline(IntRect r) override;
    void DrawTargetFrame(IntRect r) override;

    // --- the main window
    IntRect WindowRect() override;
    IntRect RestoredWindowRect() override;
    IntPoint ClientSize() override;
    bool IsOnAnyMonitor(IntRect r) override;
    IntRect PrimaryWorkArea() override;
    void SetWindowBounds(IntRect r) override;
    void MoveWindowTo(int left, int top) override;
    void SetClientSize(int w, int h) override;
    int StatusBarHeight() override;
    bool IsActiveWindow() override;
    bool IsNormalState() override;
    void SetTopMost(bool on) override;
    void ForceForeground() override;
    void SetTitle(const std::string& utf8) override;
    void SetStatusText(int panel, const std::string& utf8) override;
    void SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& utf8) override;
    void ShowColorReadout(bool shown) override;
    IntPoint ClientOrigin() override;
    void SetCursorShape(CursorShape shape) override;
    void SetMouseCapture() override;
    void ReleaseMouseCapture() override;
    void RepaintToolBar() override;
    void RepaintMainWindow() override;
    void CloseMainWindow() override;

    // --- menus
    void SetMenuChecked(CommandId id, bool checked) override;
    void SetMenuEnabled(CommandId id, bool enabled) override;
    void SetMenuCaption(CommandId id, const std::string& utf8) override;

    // --- modal input
    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool ModalBoxOpen() override;
    std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                        const std::string& initial) override;

    // --- timers
    void StartCaptureTimer(int intervalMs) override;
    void StopCaptureTimer() override;
    void StartRepeatTimer(int intervalMs) override;
    void StopRepeatTimer() override;

    // --- hot keys
    bool RegisterHotKey(int id, Modifier modifier, Key key, bool repeats) override;
    void UnregisterHotKey(int id) override;

    // --- other windows and synthetic input
    WindowHandle WindowFromPoint(IntPoint screen) override;
    WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) override;
    std::string ClassNameOf(WindowHandle w) override;
    std::string WindowTextOf(WindowHandle w) override;
    IntRect WindowRectOf(WindowHandle w) override;
    IntPoint ClientPointOf(WindowHandle w, IntPoint screen) override;
    SendOutcome SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                 int timeoutMs) override;
    bool MouseButtonsSwapped() override;
    void InjectMouseButton(InjectedButton b) override;
    void Pause(int ms) override;

    // For the tests: the buffers behind CaptureScreen and FrameBuffer.
    DibSection& CaptureBuffer() { return capture_.Buffer(); }
    DibSection& FrameSection() { return frame_; }

    // Repaints the last frame shown (WM_PAINT).
    void PaintFrame(HDC dc);
    // WM_DISPLAYCHANGE: the desktop's bounds and depth are asked afresh.
    void DisplaysChanged() {
        displayFacts_.Forget();
        capture_.DisplaysChanged();
    }

    // The capture timer's interval while it runs, 0 while it is stopped.
    int CaptureIntervalMs() const { return captureIntervalMs_; }

private:
    void StartTimer(UINT_PTR id, int intervalMs);
    void RefreshDisplayFacts();
    int captureIntervalMs_ = 0;

    HINSTANCE instance_;
    MainWindowParts parts_;
    bool destroying_ = false;
    ScreenCapture capture_;
    DibSection frame_;
    IntRect shownFrame_;  // where ShowFrame last put the frame, client coordinates
    IntRect desktop_;     // DesktopRect and ScreenFormat, asked afresh after a second or a display change
    PixelFormat screenFormat_ = PixelFormat::Bits32;
    FactsCache displayFacts_;
    ScreenMarker marker_;
    // Shared cursors from LoadCursor: never destroyed.
    HCURSOR arrowCursor_;
    HCURSOR handCursor_;
    HCURSOR cursor_;
};

// A window handle of the core as a Win32 handle and back.
inline HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(w); }
inline WindowHandle FromHwnd(HWND h) { return reinterpret_cast<WindowHandle>(h); }
inline IntRect FromRect(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

}  // namespace ocu::win
