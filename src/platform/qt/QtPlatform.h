#pragma once
// The port implemented with Qt and xcb. Every method is a literal translation: the rules
// of the program stay in the core. Input to other windows is another object's work: this
// one passes InputPort's methods on to the one it is given.
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QMargins>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

#include "mainwindow/ports/Platform.h"
#include "platform/qt/DisplayRatio.h"
#include "platform/qt/ScreenChanges.h"
#include "platform/qt/XcbHotKeys.h"
#include "platform/qt/XcbScreen.h"
#include "platform/qt/XcbSharedImage.h"
#include "platform/qt/XcbWindowTarget.h"
#include "platform/qt/wayland/WaylandScreen.h"

class QMainWindow;

namespace ocu::qt {

class MenuBarQt;
class StatusBarQt;
class ToolBarQt;
class ViewWidget;

// The pieces of the main window the port acts on, handed over once they exist.
struct MainWindowParts {
    QMainWindow* Window = nullptr;
    ViewWidget* Client = nullptr;
    StatusBarQt* Status = nullptr;  // the four panels under the view
    ToolBarQt* Tools = nullptr;
    MenuBarQt* Menu = nullptr;
    StatusBarQt* Info = nullptr;  // the hint line above the tool bar
};

class QtPlatform final : public IPlatform {
public:
    struct Ticks {
        std::function<void()> Capture;
        std::function<void()> Repeat;
        std::function<void(int id)> HotKey;
        // The window was given a new size while hidden: Qt tells its widgets only when the
        // window shows, the behaviour expects to hear at once.
        std::function<void()> HiddenResize;
    };
    // `input` answers for other programs' windows and the input sent to them.
    QtPlatform(xcb_connection_t* connection, InputPort& input);
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;
    ~QtPlatform() override;

    void Attach(const MainWindowParts& parts, Ticks ticks);
    void Detach();
    XcbScreen& Screen() { return screen_; }
    // On a Wayland desktop the screen's pictures and the pointer come from the portal;
    // the X server still holds this program's own windows.
    void UseWayland(WaylandScreen* wayland);
    // A new picture or pointer position came from the portal.
    void ScreenChanged() {
        if (captureRunning_ && changes_->Asleep()) WakeUp();
    }
    // Whether the server has the keyboard focus on the main window. The toolkit's own view
    // can stay behind: a focus taken away while it still walks a menu typed ahead leaves it
    // believing the window or a closed menu active.
    bool HoldsKeyboardFocus();

    // --- screen
    IntRect DesktopRect() override;
    IntPoint PrimaryScreenSize() override;
    PixelFormat ScreenFormat() override { return PixelFormat::Bits32; }
    // Where the pointer is: where the mouse event being handled happened, else the server's
    // pointer now. A busy program reaches an event after the pointer has moved on; a drag
    // measured against the later position would throw the window across the screen.
    IntPoint CursorPos() override {
        if (eventPointer_) return *eventPointer_;
        return tickPointer_ ? *tickPointer_ : PointerNow();
    }
    void HoldPointerAt(std::optional<IntPoint> p) { eventPointer_ = p; }
    void SetCursorPos(IntPoint p) override { screen_.WarpPointer(p); }
    Image* CaptureScreen(int x, int y, int w, int h) override;
    Image* FrameBuffer(int w, int h) override;
    void ShowFrame(int left, int top, int w, int h) override;
    const Image* ShownFrame(IntRect& where) override;
    void InvalidateDesktop() override;
    void SaveScreenBackup(IntRect area) override { screen_.SaveBackup(area); }
    void RestoreScreenBackup(IntRect area) override { screen_.RestoreBackup(area); }
    void DrawPickOutline(IntRect r) override { screen_.DrawOutline(r); }
    void DrawTargetFrame(IntRect r) override { screen_.DrawFrame(r); }

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

    // --- other windows and synthetic input: passed on
    WindowHandle WindowFromPoint(IntPoint screen) override { return input_.WindowFromPoint(screen); }
    WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) override {
        return input_.ChildWindowFromPoint(parent, screen);
    }
    std::string ClassNameOf(WindowHandle w) override { return input_.ClassNameOf(w); }
    std::string WindowTextOf(WindowHandle w) override { return input_.WindowTextOf(w); }
    IntRect WindowRectOf(WindowHandle w) override { return input_.WindowRectOf(w); }
    IntPoint ClientPointOf(WindowHandle w, IntPoint screen) override { return input_.ClientPointOf(w, screen); }
    SendOutcome SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                 int timeoutMs) override {
        return input_.SendMouseMessage(w, msg, keys, at, timeoutMs);
    }
    bool MouseButtonsSwapped() override { return input_.MouseButtonsSwapped(); }
    void InjectMouseButton(InjectedButton b) override { input_.InjectMouseButton(b); }
    void Pause(int ms) override { input_.Pause(ms); }

private:
    QWidget* Owner() const;
    double Ratio() const;
    QMargins FrameToCome(QWidget* w);
    std::optional<IntRect> ScreenFrameRect();
    // The last exact frame, with the window's place in Qt's units when it was read.
    std::optional<std::pair<QRect, IntRect>> exactFrame_;
    xcb_atom_t frameExtentsAtom_ = 0;
    int ToScreen(int logical) const;
    int ToLogical(int pixels) const;
    IntRect ToScreen(const QRect& r) const;
    void SendNetWmState(bool add, const char* property);
    // `answered`: the pointer of a look the server kept until the interval was over; none
    // when the tick's own timer fired.
    void CaptureTick(std::optional<IntPoint> answered = std::nullopt);
    void AskNextLook(const QElapsedTimer& since);
    void WaylandTick();
    bool Counted(bool changed, IntPoint pointer);
    void RunCapture(IntPoint pointer);
    IntPoint PointerNow();
    void WakeUp();
    Image* Frame();

    XcbConnection pixels_;
    XcbConnection looks_;
    XcbScreen screen_;
    WaylandScreen* wayland_ = nullptr;
    InputPort& input_;
    std::optional<IntPoint> eventPointer_;
    std::optional<IntPoint> tickPointer_;
    std::optional<double> tickRatio_;
    mutable DisplayRatio ratio_;
    MainWindowParts parts_;
    Ticks ticks_;
    std::unique_ptr<XcbHotKeys> hotKeys_;
    std::unique_ptr<ScreenChanges> changes_;
    QTimer captureTimer_;
    std::unique_ptr<QSocketNotifier> answers_;  // the server's answers to looks asked ahead
    bool askAhead_ = true;
    QElapsedTimer askedAt_;
    int askedFor_ = 0;
    int captureInterval_ = 0;
    bool captureRunning_ = false;  // as the behaviour wants it, asleep or not
    int quietTicks_ = 0;
    IntPoint lastPointer_;
    QTimer repeatTimer_;
    XcbSharedImage shared_;  // the frame, when the server shares memory with us
    XcbWindowTarget statusTarget_;  // where the status bar puts the pointer's position
    Image frame_;            // the frame otherwise
    QImage frameView_;       // over frame_'s memory
    IntRect shownFrame_;
    CursorShape cursorShape_ = CursorShape::Arrow;
    std::optional<CursorShape> shownShape_;
    QCursor handCursor_;
    // Outer bounds asked for before the window manager framed the window: applied again
    // once the frame is known, so that the window opens where it was closed.
    std::optional<IntRect> pendingBounds_;

public:
    // The window manager has framed the window, or moved or sized it.
    void FrameChanged();
    // Shows the pointer shape the behaviour chose last (after each mouse event).
    void ApplyCursor();
    // The pointer over a point that projects or picks.
    void SetHandCursor(const QCursor& hand) {
        handCursor_ = hand;
        shownShape_.reset();
    }
};

}  // namespace ocu::qt
