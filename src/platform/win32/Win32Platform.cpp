#include "platform/win32/Win32Platform.h"

#include "platform/win32/Dpi.h"
#include "platform/win32/Foreground.h"
#include "platform/win32/InputBox.h"
#include "platform/win32/KeyCodes.h"
#include "platform/win32/MenuBar.h"
#include "platform/win32/MouseTranslation.h"
#include "platform/win32/StatusBar.h"
#include "platform/win32/TextConvert.h"
#include "platform/win32/UiFont.h"

namespace ocu::win {
namespace {

// The 71-character buffers of a target's class name and window text.
constexpr int kNameBuffer = 71;

RECT ToRect(IntRect r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

template <typename Fn>
Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

// This program sees the screen in physical pixels. A target that knows nothing of DPI (or
// only of the DPI the system started with) works in logical ones on a scaled monitor, and
// takes its mouse messages in them: the point is brought into its coordinates, then into
// its client area as it sees itself. Before Windows 10 the functions are missing, and so
// is the scaling they undo.
void ScreenToTargetClient(HWND w, POINT& p) {
    using GetWindowContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using AwarenessOfFn = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using SetThreadContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using PhysicalToLogicalFn = BOOL(WINAPI*)(HWND, LPPOINT);
    static const auto windowContext = User32Function<GetWindowContextFn>("GetWindowDpiAwarenessContext");
    static const auto awarenessOf = User32Function<AwarenessOfFn>("GetAwarenessFromDpiAwarenessContext");
    static const auto setThreadContext = User32Function<SetThreadContextFn>("SetThreadDpiAwarenessContext");
    static const auto physicalToLogical = User32Function<PhysicalToLogicalFn>("PhysicalToLogicalPointForPerMonitorDPI");
    if (windowContext != nullptr && awarenessOf != nullptr && setThreadContext != nullptr &&
        physicalToLogical != nullptr) {
        const DPI_AWARENESS_CONTEXT context = windowContext(w);
        const DPI_AWARENESS awareness = context != nullptr ? awarenessOf(context) : DPI_AWARENESS_INVALID;
        if (awareness == DPI_AWARENESS_UNAWARE || awareness == DPI_AWARENESS_SYSTEM_AWARE) {
            POINT logical = p;
            if (physicalToLogical(w, &logical)) {
                const DPI_AWARENESS_CONTEXT previous = setThreadContext(context);
                const BOOL converted = ::ScreenToClient(w, &logical);
                if (previous != nullptr) setThreadContext(previous);
                if (converted) {
                    p = logical;
                    return;
                }
            }
        }
    }
    ::ScreenToClient(w, &p);
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance)
    : instance_(instance),
      arrowCursor_(::LoadCursorW(nullptr, IDC_ARROW)),
      handCursor_(::LoadCursorW(instance, L"HAND")) {
    if (handCursor_ == nullptr) handCursor_ = ::LoadCursorW(nullptr, IDC_HAND);
    cursor_ = arrowCursor_;
}

HWND Win32Platform::Owner() const { return destroying_ ? nullptr : parts_.Window; }

// --- screen -------------------------------------------------------------------------

// Every tick asks for the desktop's bounds and the screen's depth; under Wine each of
// these answers costs round trips to the server (the display cache is checked against
// the registry). Kept for a second, and dropped at once when the displays change.
void Win32Platform::RefreshDisplayFacts() {
    const DWORD now = ::GetTickCount();
    if (displayFacts_.Fresh(now)) return;
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    desktop_ = {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    screenFormat_ = capture_.ScreenFormat();
    displayFacts_.Taken(now);
}

IntRect Win32Platform::DesktopRect() {
    RefreshDisplayFacts();
    return desktop_;
}

IntPoint Win32Platform::PrimaryScreenSize() {
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

PixelFormat Win32Platform::ScreenFormat() {
    RefreshDisplayFacts();
    return screenFormat_;
}

IntPoint Win32Platform::CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

void Win32Platform::SetCursorPos(IntPoint p) { ::SetCursorPos(p.X, p.Y); }

Image* Win32Platform::CaptureScreen(int x, int y, int w, int h) { return capture_.Capture(x, y, w, h, ScreenFormat()); }

Image* Win32Platform::FrameBuffer(int w, int h) {
    const PixelFormat format = ScreenFormat();
    std::vector<PaletteEntry> palette;
    if (IsIndexed(format)) {
        const unique_hdc_window screen = win::GetDC(nullptr);
        palette = ScreenPalette(screen.get(), format);
    }
    // A buffer of another size no longer holds what the window shows.
    if (w != shownFrame_.Width() || h != shownFrame_.Height()) shownFrame_ = {};
    return frame_.Ensure(w, h, format, palette) ? &frame_.View() : nullptr;
}

void Win32Platform::ShowFrame(int left, int top, int w, int h) {
    if (parts_.Window == nullptr || frame_.Dc() == nullptr) return;
    // The core may have given an indexed frame a palette of its own.
    frame_.SyncColorTable();
    const unique_hdc_window client = win::GetDC(parts_.Window);
    if (!client) return;
    ::BitBlt(client.get(), left, top, w, h, frame_.Dc(), 0, 0, SRCCOPY);
    shownFrame_ = {left, top, left + w, top + h};
}

const Image* Win32Platform::ShownFrame(IntRect& where) {
    if (frame_.Dc() == nullptr || shownFrame_.Right <= shownFrame_.Left) return nullptr;
    ::GdiFlush();
    where = shownFrame_;
    return &frame_.View();
}

void Win32Platform::PaintFrame(HDC dc) {
    // The tick presents nothing while the picture stands still, so an uncovered
    // view is filled from the last frame here.
    if (frame_.Dc() == nullptr || shownFrame_.Right <= shownFrame_.Left) return;
    ::BitBlt(dc, shownFrame_.Left, shownFrame_.Top, shownFrame_.Right - shownFrame_.Left,
             shownFrame_.Bottom - shownFrame_.Top, frame_.Dc(), 0, 0, SRCCOPY);
}

void Win32Platform::InvalidateDesktop() { ::InvalidateRect(nullptr, nullptr, TRUE); }

void Win32Platform::SaveScreenBackup(IntRect area) { marker_.SaveBackup(area); }
void Win32Platform::RestoreScreenBackup(IntRect area) { marker_.RestoreBackup(area); }
void Win32Platform::DrawPickOutline(IntRect r) { ScreenMarker::DrawOutline(r); }
void Win32Platform::DrawTargetFrame(IntRect r) { ScreenMarker::DrawFrame(r); }

// --- the main window --------------------------------------------------------------------

IntRect Win32Platform::WindowRect() {
    RECT r{};
    if (parts_.Window != nullptr) ::GetWindowRect(parts_.Window, &r);
    return FromRect(r);
}

IntRect Win32Platform::RestoredWindowRect() {
    const HWND wnd = parts_.Window;
    if (wnd == nullptr) return {};
    if (!::IsIconic(wnd) && !::IsZoomed(wnd)) return WindowRect();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(wnd, &placement)) return WindowRect();
    RECT r = placement.rcNormalPosition;
    // The placement is in workspace coordinates: relative to the work area of the monitor
    // the window belongs to, so a task bar at the left or top shifts it. Monitors left of or
    // above the primary one keep their negative coordinates; only that offset differs.
    if ((::GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
            ::OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    }
    return FromRect(r);
}

IntPoint Win32Platform::ClientSize() {
    RECT r{};
    if (parts_.Window != nullptr) ::GetClientRect(parts_.Window, &r);
    return {static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

bool Win32Platform::IsOnAnyMonitor(IntRect r) {
    const RECT rc = ToRect(r);
    return ::MonitorFromRect(&rc, MONITOR_DEFAULTTONULL) != nullptr;
}

IntRect Win32Platform::PrimaryWorkArea() {
    RECT r{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
        r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return FromRect(r);
}

void Win32Platform::SetWindowBounds(IntRect r) {
    if (parts_.Window == nullptr) return;
    ::SetWindowPos(parts_.Window, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::MoveWindowTo(int left, int top) {
    if (parts_.Window == nullptr) return;
    ::SetWindowPos(parts_.Window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::SetClientSize(int w, int h) {
    const HWND wnd = parts_.Window;
    if (wnd == nullptr) return;
    // Keep the frame as it is and change the outer size by the difference. A menu bar that wraps onto another line at
    // the new width changes the frame, so measure again and correct once more if needed.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT outer{}, client{};
        ::GetWindowRect(wnd, &outer);
        ::GetClientRect(wnd, &client);
        const int dw = w - static_cast<int>(client.right);
        const int dh = h - static_cast<int>(client.bottom);
        if (dw == 0 && dh == 0) return;
        ::SetWindowPos(wnd, nullptr, 0, 0, static_cast<int>(outer.right - outer.left) + dw,
                       static_cast<int>(outer.bottom - outer.top) + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Win32Platform::StatusBarHeight() {
    RECT r{};
    if (parts_.Status == nullptr || !::GetWindowRect(parts_.Status->Handle(), &r)) return 0;
    return static_cast<int>(r.bottom - r.top);
}

bool Win32Platform::IsActiveWindow() { return parts_.Window != nullptr && ::GetActiveWindow() == parts_.Window; }

bool Win32Platform::IsNormalState() {
    return parts_.Window != nullptr && !::IsIconic(parts_.Window) && !::IsZoomed(parts_.Window);
}

void Win32Platform::SetTopMost(bool on) {
    if (parts_.Window == nullptr) return;
    ::SetWindowPos(parts_.Window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Platform::ForceForeground() {
    if (parts_.Window != nullptr) SetAbsoluteForegroundWindow(parts_.Window);
}

// Both are set on every tick; setting an unchanged text would still repaint
// the caption or the bar, which costs more than the frame itself under Wine.
// Compared with what the window holds, so a text changed elsewhere is still put right.
void Win32Platform::SetTitle(const std::string& utf8) {
    if (parts_.Window == nullptr) return;
    const std::wstring text = Utf8ToWide(utf8);
    std::wstring shown(static_cast<std::size_t>(::GetWindowTextLengthW(parts_.Window)) + 1, L'\0');
    shown.resize(
        static_cast<std::size_t>(::GetWindowTextW(parts_.Window, shown.data(), static_cast<int>(shown.size()))));
    if (shown != text) ::SetWindowTextW(parts_.Window, text.c_str());
}

void Win32Platform::SetStatusText(int panel, const std::string& utf8) {
    if (parts_.Status == nullptr) return;
    if (parts_.Status->Text(panel) == Utf8ToWide(utf8)) return;
    parts_.Status->SetText(panel, utf8);
}

void Win32Platform::SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& utf8) {
    if (parts_.Info == nullptr) return;
    std::optional<COLORREF> color;
    if (rgb) color = RGB((*rgb >> 16) & 0xFF, (*rgb >> 8) & 0xFF, *rgb & 0xFF);
    parts_.Info->SetSwatchText(1, color, utf8);  // right of the hint
}

void Win32Platform::ShowColorReadout(bool shown) {
    if (parts_.Info == nullptr || shown == (parts_.Info->PanelCount() == 2)) return;
    if (shown) parts_.Info->SetPanels({200, 0});
    else parts_.Info->SetPanels({200});
}

IntPoint Win32Platform::ClientOrigin() {
    POINT p{0, 0};
    if (parts_.Window != nullptr) ::ClientToScreen(parts_.Window, &p);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

void Win32Platform::SetCursorShape(CursorShape shape) {
    // Only noted here: the behaviour sets Arrow and then Hand within one mouse
    // move, and showing each at once would make the pointer flicker. The window
    // shows the last one when the move has been handled, and at WM_SETCURSOR.
    cursor_ = shape == CursorShape::Hand ? handCursor_ : arrowCursor_;
}

void Win32Platform::SetMouseCapture() {
    if (parts_.Window != nullptr) ::SetCapture(parts_.Window);
}

void Win32Platform::ReleaseMouseCapture() { ::ReleaseCapture(); }

void Win32Platform::RepaintToolBar() {
    if (parts_.ToolBar != nullptr)
        ::RedrawWindow(parts_.ToolBar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Win32Platform::RepaintMainWindow() {
    if (parts_.Window != nullptr) ::UpdateWindow(parts_.Window);
}

void Win32Platform::CloseMainWindow() {
    // Posted: the command that asked is still running on the window's behalf.
    if (parts_.Window != nullptr) ::PostMessageW(parts_.Window, WM_CLOSE, 0, 0);
}

// --- menus ---------------------------------------------------------------------------------

void Win32Platform::SetMenuChecked(CommandId id, bool checked) {
    if (parts_.Menu != nullptr) parts_.Menu->SetChecked(id, checked);
}

void Win32Platform::SetMenuEnabled(CommandId id, bool enabled) {
    if (parts_.Menu != nullptr) parts_.Menu->SetEnabled(id, enabled);
}

void Win32Platform::SetMenuCaption(CommandId id, const std::string& utf8) {
    if (parts_.Menu != nullptr) parts_.Menu->SetCaption(id, utf8);
}

// --- modal input ---------------------------------------------------------------------------

void Win32Platform::ShowMessage(const std::string& text, const std::string& caption) {
    ::MessageBoxW(Owner(), Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), MB_OK);
}

// Every box of this program is modal to the main window and disables it while open.
bool Win32Platform::ModalBoxOpen() { return parts_.Window != nullptr && !::IsWindowEnabled(parts_.Window); }

std::optional<std::string> Win32Platform::InputBox(const std::string& title, const std::string& prompt,
                                                   const std::string& initial) {
    const auto typed = ShowInputBox(instance_, Owner(), Utf8ToWide(title), Utf8ToWide(prompt), Utf8ToWide(initial),
                                    UiFont(WindowDpi(Owner())));
    if (!typed) return std::nullopt;
    return WideToUtf8(*typed);
}

// --- timers ----------------------------------------------------------------------------------

void Win32Platform::StartTimer(UINT_PTR id, int intervalMs) {
    if (parts_.Window == nullptr) return;
    ::SetTimer(parts_.Window, id, static_cast<UINT>(intervalMs > 0 ? intervalMs : USER_TIMER_MINIMUM), nullptr);
}

void Win32Platform::StartCaptureTimer(int intervalMs) {
    StartTimer(kCaptureTimerId, intervalMs);
    if (parts_.Window != nullptr) captureIntervalMs_ = intervalMs > 0 ? intervalMs : USER_TIMER_MINIMUM;
}
void Win32Platform::StartRepeatTimer(int intervalMs) { StartTimer(kRepeatTimerId, intervalMs); }

void Win32Platform::StopCaptureTimer() {
    captureIntervalMs_ = 0;
    if (parts_.Window != nullptr) ::KillTimer(parts_.Window, kCaptureTimerId);
}

void Win32Platform::StopRepeatTimer() {
    if (parts_.Window != nullptr) ::KillTimer(parts_.Window, kRepeatTimerId);
}

// --- hot keys ----------------------------------------------------------------------------------

bool Win32Platform::RegisterHotKey(int id, Modifier modifier, Key key, bool repeats) {
    const UINT modifiers = HotKeyModifiers(modifier) | (repeats ? 0u : static_cast<UINT>(MOD_NOREPEAT));
    return parts_.Window != nullptr && ::RegisterHotKey(parts_.Window, id, modifiers, VirtualKeyOf(key)) != FALSE;
}

void Win32Platform::UnregisterHotKey(int id) {
    if (parts_.Window != nullptr) ::UnregisterHotKey(parts_.Window, id);
}

// --- other windows and synthetic input --------------------------------------------------------

WindowHandle Win32Platform::WindowFromPoint(IntPoint screen) {
    return FromHwnd(::WindowFromPoint(POINT{screen.X, screen.Y}));
}

WindowHandle Win32Platform::ChildWindowFromPoint(WindowHandle parent, IntPoint screen) {
    POINT p{screen.X, screen.Y};
    if (!::ScreenToClient(ToHwnd(parent), &p)) return 0;
    return FromHwnd(::ChildWindowFromPoint(ToHwnd(parent), p));
}

std::string Win32Platform::ClassNameOf(WindowHandle w) {
    wchar_t buffer[kNameBuffer]{};
    const int n = ::GetClassNameW(ToHwnd(w), buffer, kNameBuffer);
    return WideToUtf8(std::wstring_view(buffer, n > 0 ? static_cast<std::size_t>(n) : 0));
}

std::string Win32Platform::WindowTextOf(WindowHandle w) {
    wchar_t buffer[kNameBuffer]{};
    const int n = ::GetWindowTextW(ToHwnd(w), buffer, kNameBuffer);
    return WideToUtf8(std::wstring_view(buffer, n > 0 ? static_cast<std::size_t>(n) : 0));
}

IntRect Win32Platform::WindowRectOf(WindowHandle w) {
    RECT r{};
    if (w == 0 || !::GetWindowRect(ToHwnd(w), &r)) return {};
    return FromRect(r);
}

IntPoint Win32Platform::ClientPointOf(WindowHandle w, IntPoint screen) {
    POINT p{screen.X, screen.Y};
    ScreenToTargetClient(ToHwnd(w), p);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

namespace {

// Querying a process needs only limited rights, which an elevated process grants too.
bool ProcessOfWindowRuns(HWND w) {
    DWORD pid = 0;
    if (!::IsWindow(w) || ::GetWindowThreadProcessId(w, &pid) == 0 || pid == 0) return false;
    const unique_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

SendOutcome Win32Platform::SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                            int timeoutMs) {
    // A target that has stopped answering must not freeze the magnifier with it.
    DWORD_PTR result = 0;
    ::SetLastError(ERROR_SUCCESS);
    if (::SendMessageTimeoutW(ToHwnd(w), MouseMessageOf(msg), MouseKeysOf(keys), MousePointOf(at),
                              SMTO_ABORTIFHUNG | SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result) != 0) {
        return SendOutcome::Answered;
    }
    // User interface privilege isolation blocks messages to a process of higher integrity
    // (one run as administrator) and says so with access denied; it is no hang. A window
    // whose process has just ended can give the same error (Wine does): that target is
    // gone, not refusing.
    if (::GetLastError() != ERROR_ACCESS_DENIED) return SendOutcome::NoAnswer;
    return ProcessOfWindowRuns(ToHwnd(w)) ? SendOutcome::Refused : SendOutcome::NoAnswer;
}

bool Win32Platform::MouseButtonsSwapped() { return ::GetSystemMetrics(SM_SWAPBUTTON) != 0; }

void Win32Platform::Pause(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

// mouse_event names physical buttons; the caller has already chosen the physical one
// that arrives as the logical button it means.
void Win32Platform::InjectMouseButton(InjectedButton b) {
    ::mouse_event(MouseEventFlagOf(b), 0, 0, 0, static_cast<ULONG_PTR>(::GetMessageExtraInfo()));
}

}  // namespace ocu::win
