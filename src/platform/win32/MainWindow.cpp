#include "platform/win32/MainWindow.h"

#include <algorithm>

#include <windowsx.h>

#include <stdexcept>
#include <utility>

#include "mainwindow/ErrorTexts.h"
#include "mainwindow/OverdueTick.h"
#include "mainwindow/Texts.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/StatusBar.h"
#include "platform/win32/SystemColours.h"
#include "platform/win32/TextConvert.h"
#include "platform/win32/UiFont.h"

namespace ocu::win {
namespace {

constexpr int kInfoBarId = 10;
constexpr int kToolBarId = 11;
constexpr int kStatusBarId = 12;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

void RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(instance, kMainWindowClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    // Each at the size the system draws it, from the picture drawn for that size;
    // shared icons belong to the module, so nothing is destroyed.
    const auto icon = [instance](int width, int height) {
        return static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON, ::GetSystemMetrics(width),
                                               ::GetSystemMetrics(height), LR_SHARED));
    };
    wc.hIcon = icon(SM_CXICON, SM_CYICON);
    if (wc.hIcon == nullptr) wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    wc.hIconSm = icon(SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    wc.lpszClassName = kMainWindowClass;
    if (!::RegisterClassExW(&wc)) throw std::runtime_error(std::string(text::kNoWindowClass));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, TfrmCap& form, Win32Platform& platform)
    : instance_(instance), form_(form), platform_(platform) {}

MainWindow::~MainWindow() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void MainWindow::Create(int showCommand) {
    RegisterMainClass(instance_, WndProc);
    const IntRect b = kInitialWindowBounds;
    ::CreateWindowExW(0, kMainWindowClass, L"Ocumira", kStyle, b.Left, b.Top, b.Width(), b.Height(), nullptr, nullptr,
                      instance_, this);
    if (createError_) std::rethrow_exception(std::exchange(createError_, nullptr));
    if (hwnd_ == nullptr) throw std::runtime_error(std::string(text::kNoMainWindow));
    Guarded(hwnd_, [&] { form_.FormCreate(); });
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
}

ShiftState MainWindow::ShiftFromKeys(WPARAM keys, bool doubleClick) {
    ShiftState s;
    s.Shift = (keys & MK_SHIFT) != 0;
    s.Ctrl = (keys & MK_CONTROL) != 0;
    s.Left = (keys & MK_LBUTTON) != 0;
    s.Right = (keys & MK_RBUTTON) != 0;
    s.Middle = (keys & MK_MBUTTON) != 0;
    s.Alt = ::GetKeyState(VK_MENU) < 0;
    s.Double = doubleClick;
    return s;
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_CREATE) {
        // A window that could not be built is not shown half made: creation
        // fails, and Create() passes the reason on.
        try {
            return self->HandleMessage(msg, wParam, lParam);
        } catch (...) {
            self->createError_ = std::current_exception();
            return -1;
        }
    }
    LRESULT result = 0;
    Guarded(hwnd, [&] { result = self->HandleMessage(msg, wParam, lParam); });
    return result;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam)); break;  // the default still moves the focus
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_DISPLAYCHANGE: platform_.DisplaysChanged(); break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: OnColoursChanged(msg, wParam, lParam); break;
    case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_PAINT: {
        const unique_hdc_paint paint(hwnd_);
        if (paint.get() != nullptr) platform_.PaintFrame(paint.get());
        return 0;
    }
    case WM_HOTKEY: form_.OnHotKey(static_cast<int>(wParam)); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0); return 0;
    case WM_ENTERMENULOOP: form_.Readout().OnMenuLoop(true); return 0;
    case WM_EXITMENULOOP: form_.Readout().OnMenuLoop(false); return 0;
    case WM_NOTIFY:
        if (const auto r = OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return *r;
        break;
    case WM_LBUTTONDOWN: OnMouseDown(MouseButton::Left, wParam, lParam, false); return 0;
    case WM_LBUTTONDBLCLK: OnMouseDown(MouseButton::Left, wParam, lParam, true); return 0;
    case WM_RBUTTONDOWN: OnMouseDown(MouseButton::Right, wParam, lParam, false); return 0;
    case WM_RBUTTONDBLCLK: OnMouseDown(MouseButton::Right, wParam, lParam, true); return 0;
    case WM_MBUTTONDOWN: OnMouseDown(MouseButton::Middle, wParam, lParam, false); return 0;
    case WM_MBUTTONDBLCLK: OnMouseDown(MouseButton::Middle, wParam, lParam, true); return 0;
    case WM_LBUTTONUP: OnMouseUp(MouseButton::Left, wParam, lParam); return 0;
    case WM_RBUTTONUP: OnMouseUp(MouseButton::Right, wParam, lParam); return 0;
    case WM_MBUTTONUP: OnMouseUp(MouseButton::Middle, wParam, lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(wParam, lParam); return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
        break;
    case WM_CLOSE: ::DestroyWindow(hwnd_); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    default: break;
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT MainWindow::OnCreate() {
    dpi_ = WindowDpi(hwnd_);
    form_.SetDpi(dpi_);
    const HFONT font = UiFont(dpi_);
    // The hint; the colour under the pointer gets a panel right of it when it is shown.
    infoBar_ = std::make_unique<StatusBar>(hwnd_, instance_, kInfoBarId, std::initializer_list<int>{200}, font,
                                           CLR_DEFAULT, false, dpi_);
    statusBar_ = std::make_unique<StatusBar>(hwnd_, instance_, kStatusBarId,
                                             std::initializer_list<int>{80, 60, 150, 50}, font, kCream, true, dpi_);
    infoBar_->SetText(0, text::kHoldHint);
    toolBar_ = std::make_unique<ToolBar>(
        hwnd_, instance_, kToolBarId, font, [this](CommandId id, bool down) { OnToolPress(id, down); }, dpi_);
    menu_ = std::make_unique<MenuBar>(MainMenu());
    if (!menu_->AttachTo(hwnd_)) throw std::runtime_error(std::string(text::kNoMenu));
    accelerators_ = BuildAccelerators(MainMenu());
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    Layout(static_cast<int>(client.right), static_cast<int>(client.bottom));
    platform_.Attach(MainWindowParts{hwnd_, statusBar_.get(), toolBar_->Handle(), menu_.get(), infoBar_.get()});
    // From here on size and activation messages reach the behaviour: CreateWnd
    // itself sizes the window and expects its own resize handler to run.
    formReady_ = true;
    form_.CreateWnd();
    formCreated_ = true;
    return 0;
}

void MainWindow::Layout(int width, int height) const {
    const BarLayout bars = BarLayoutFor(dpi_);
    if (infoBar_) ::MoveWindow(infoBar_->Handle(), 0, 0, width, bars.InfoBarHeight, TRUE);
    if (toolBar_) toolBar_->Place(0, bars.ToolBarTop, width, bars.ToolBarHeight);
    if (statusBar_)
        ::MoveWindow(statusBar_->Handle(), 0, height - bars.StatusBarHeight, width, bars.StatusBarHeight, TRUE);
}

// Windows sends this to a per-monitor aware window when it comes to show at another
// DPI; the window is expected to scale itself and take the suggested rectangle.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    const HFONT font = UiFont(dpi_);
    if (infoBar_) infoBar_->SetDpi(dpi_, font);
    if (statusBar_) statusBar_->SetDpi(dpi_, font);
    if (toolBar_) toolBar_->SetDpi(dpi_, font);
    const IntRect r{static_cast<int>(suggested.left), static_cast<int>(suggested.top),
                    static_cast<int>(suggested.right), static_cast<int>(suggested.bottom)};
    if (formReady_) form_.OnDpiChanged(dpi_, r);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    Layout(static_cast<int>(client.right), static_cast<int>(client.bottom));
}

void MainWindow::OnSize(UINT type, int width, int height) {
    if (type != SIZE_MINIMIZED) Layout(width, height);
    if (!formReady_) return;
    switch (minimizeEdges_.Sized(type == SIZE_MINIMIZED)) {
    case MinimizeEdges::Edge::Minimized: form_.AppMinimize(); break;
    case MinimizeEdges::Edge::Restored: form_.AppRestore(); break;
    case MinimizeEdges::Edge::None: break;
    }
    form_.FormResize();
}

void MainWindow::OnActivate(WORD state) {
    if (!formReady_) return;
    if (state != WA_INACTIVE) form_.Keys().FormActivate();
    else form_.Keys().FormDeactivate();
}

// High contrast turned on or off, or other system colours: the bars draw in them from
// now on. Only top-level windows are told, so the bars' common controls hear it from here.
void MainWindow::OnColoursChanged(UINT msg, WPARAM wParam, LPARAM lParam) {
    RefreshHighContrast();
    if (msg == WM_SYSCOLORCHANGE) {
        for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
            ::SendMessageW(child, msg, wParam, lParam);
    }
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::RunOverdueCapture() {
    if (hwnd_ == nullptr) return;
    if (CaptureTickOverdue(platform_.CaptureIntervalMs(), ::GetTickCount64() - lastCaptureTick_))
        OnTimer(kCaptureTimerId);
}

void MainWindow::OnTimer(UINT_PTR id) {
    if (id == kCaptureTimerId) {
        form_.timTimer();
        lastCaptureTick_ = ::GetTickCount64();
    } else if (id == kRepeatTimerId) {
        form_.Controls().timRepeatTimer();
    }
}

void MainWindow::OnCommand(WORD id, WORD code, HWND control) {
    if (control == nullptr && code == 1) {
        if (const CommandId c = ShortcutCommand(id); c != CommandId::None) form_.OnShortcut(c);
    } else if (control == nullptr && code == 0) {
        if (FindMenuEntry(static_cast<CommandId>(id)) != nullptr) form_.RunCommand(static_cast<CommandId>(id));
    } else if (toolBar_ && control == toolBar_->Handle()) {
        if (const CommandId c = toolBar_->ClickCommand(id); c != CommandId::None) form_.RunCommand(c);
    }
}

void MainWindow::OnInitMenuPopup(HMENU popup, bool systemMenu) {
    if (systemMenu || !menu_) return;
    if (const CommandId top = menu_->TopLevelOf(popup); top != CommandId::None) form_.OnMenuOpen(top);
}

std::optional<LRESULT> MainWindow::OnNotify(const NMHDR& header) {
    if (toolBar_) return toolBar_->OnNotify(header);
    return std::nullopt;
}

void MainWindow::OnMouseDown(MouseButton button, WPARAM keys, LPARAM pos, bool doubleClick) {
    // A left press holds the mouse until the left release, so a drag that
    // leaves the window keeps reporting here.
    if (button == MouseButton::Left) ::SetCapture(hwnd_);
    form_.FormMouseDown(button, ShiftFromKeys(keys, doubleClick), GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
}

void MainWindow::OnMouseUp(MouseButton button, WPARAM keys, LPARAM pos) {
    if (button == MouseButton::Left && ::GetCapture() == hwnd_) ::ReleaseCapture();
    form_.FormMouseUp(button, ShiftFromKeys(keys, false), GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
}

void MainWindow::OnMouseMove(WPARAM keys, LPARAM pos) {
    form_.FormMouseMove(ShiftFromKeys(keys, false), GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
    // While the mouse is captured no WM_SETCURSOR comes: show the chosen shape now.
    ::SetCursor(platform_.CurrentCursor());
}

void MainWindow::OnMouseWheel(WPARAM wParam, LPARAM pos) {
    // The wheel reports screen coordinates; the behaviour works in client ones.
    POINT p{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    ::ScreenToClient(hwnd_, &p);
    form_.Controls().FormMouseWheel(ShiftFromKeys(GET_KEYSTATE_WPARAM(wParam), false), GET_WHEEL_DELTA_WPARAM(wParam),
                                    static_cast<int>(p.x), static_cast<int>(p.y));
}

bool MainWindow::OnSetCursor(HWND over, WORD hitTest) {
    // Over the client area the pointer keeps the shape the behaviour chose.
    if (over != hwnd_ || hitTest != HTCLIENT) return false;
    ::SetCursor(platform_.CurrentCursor());
    return true;
}

void MainWindow::OnToolPress(CommandId id, bool down) {
    if (down) form_.Controls().OnToolButtonDown(id);
    else form_.Controls().OnToolButtonUp(id);
}

void MainWindow::OnDestroy() {
    platform_.SetDestroying(true);
    formReady_ = false;
    // A window whose creation failed has no state worth saving, and no loop to end.
    if (!std::exchange(formCreated_, false)) return;
    // Each step runs even when the one before it failed: the settings not being
    // saved must not keep the hot keys registered or the program running.
    Guarded(nullptr, [&] { form_.FormDestroy(); });
    Guarded(nullptr, [&] { form_.DestroyWnd(); });
    ::PostQuitMessage(0);
}

LRESULT MainWindow::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = std::exchange(hwnd_, nullptr);
    platform_.Detach();
    platform_.SetDestroying(false);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return ::DefWindowProcW(hwnd, WM_NCDESTROY, wParam, lParam);
}

}  // namespace ocu::win
