#pragma once
// The Win32 window of TfrmCap: it owns the window, its bars and menu, and turns
// each message into one call on the behaviour. No rule of the program lives here.
#include <windows.h>

#include <array>
#include <exception>
#include <iterator>
#include <memory>
#include <optional>

#include "mainwindow/MainWindowClass.h"
#include "mainwindow/MinimizeEdges.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewLayout.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MenuBar.h"
#include "platform/win32/StatusBar.h"
#include "platform/win32/ToolBar.h"
#include "platform/win32/Win32Platform.h"

namespace ocu::win {

// The core's class name, widened: it is plain ASCII.
inline constexpr auto kMainWindowClassChars = [] {
    std::array<wchar_t, std::size(kMainWindowClassName)> wide{};
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<wchar_t>(kMainWindowClassName[i]);
    return wide;
}();
inline constexpr const wchar_t* kMainWindowClass = kMainWindowClassChars.data();

class MainWindow {
public:
    MainWindow(HINSTANCE instance, TfrmCap& form, Win32Platform& platform);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window (CreateWnd runs inside), runs FormCreate and shows it.
    // Throws std::runtime_error when the window cannot be made.
    void Create(int showCommand);
    HWND Handle() const { return hwnd_; }
    HACCEL Accelerators() const { return accelerators_.get(); }
    // Runs the capture tick when it is overdue (CaptureTickOverdue): WM_TIMER only
    // comes when the queue is empty.
    void RunOverdueCapture();
    const MenuBar* Menu() const { return menu_.get(); }
    ToolBar* Tools() { return toolBar_.get(); }
    StatusBar* InfoBar() { return infoBar_.get(); }
    StatusBar* MainStatusBar() { return statusBar_.get(); }

    // Decoding of the mouse message parameters, exposed for the tests.
    static ShiftState ShiftFromKeys(WPARAM keys, bool doubleClick);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate();
    void OnSize(UINT type, int width, int height);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnActivate(WORD state);
    void OnColoursChanged(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    ULONGLONG lastCaptureTick_ = 0;
    void OnCommand(WORD id, WORD code, HWND control);
    void OnInitMenuPopup(HMENU popup, bool systemMenu);
    std::optional<LRESULT> OnNotify(const NMHDR& header);
    void OnMouseDown(MouseButton button, WPARAM keys, LPARAM pos, bool doubleClick);
    void OnMouseUp(MouseButton button, WPARAM keys, LPARAM pos);
    void OnMouseMove(WPARAM keys, LPARAM pos);
    void OnMouseWheel(WPARAM wParam, LPARAM pos);
    bool OnSetCursor(HWND over, WORD hitTest);
    void OnToolPress(CommandId id, bool down);
    void OnDestroy();
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
    void Layout(int width, int height) const;

    HINSTANCE instance_;
    TfrmCap& form_;
    Win32Platform& platform_;
    HWND hwnd_ = nullptr;
    int dpi_ = kDesignDpi;  // the bars are laid out for it
    std::unique_ptr<StatusBar> infoBar_;
    std::unique_ptr<StatusBar> statusBar_;
    std::unique_ptr<ToolBar> toolBar_;
    std::unique_ptr<MenuBar> menu_;
    unique_haccel accelerators_;
    MinimizeEdges minimizeEdges_;
    bool formReady_ = false;    // the behaviour may be called
    bool formCreated_ = false;  // CreateWnd has run to its end
    std::exception_ptr createError_;
};

}  // namespace ocu::win
