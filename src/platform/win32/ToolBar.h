#pragma once
// The main tool bar: seven flat buttons of 60 x 38 (at 96 dpi) on a cream ground, a
// picture above a blue caption, hints as tool tips. Buttons that act while held report
// every press and release of any mouse button; the others report a click.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/ButtonHold.h"
#include "mainwindow/Commands.h"
#include "platform/win32/Handles.h"

namespace ocu::win {

inline constexpr COLORREF kCream = RGB(255, 251, 240);
inline constexpr COLORREF kCaptionBlue = RGB(0, 0, 255);

class ToolBar {
public:
    using PressHandler = std::function<void(CommandId id, bool down)>;

    // Throws std::runtime_error when the control cannot be made.
    ToolBar(HWND parent, HINSTANCE instance, int controlId, HFONT font, PressHandler onPress, int dpi = 96);
    ToolBar(const ToolBar&) = delete;
    ToolBar& operator=(const ToolBar&) = delete;
    ~ToolBar();

    HWND Handle() const { return hwnd_; }
    void Place(int x, int y, int width, int height) const;
    // The window now shows at another DPI: buttons, pictures and captions follow it.
    void SetDpi(int dpi, HFONT font);

    // WM_NOTIFY sent to the parent by the bar or its tool tip; nullopt when the
    // notification is not the bar's.
    std::optional<LRESULT> OnNotify(const NMHDR& header);
    // The command of a button click (WM_COMMAND from the bar); None for a
    // press-and-hold button, which acts on press and release instead.
    CommandId ClickCommand(WORD id) const;
    // The command of the button under a client point of the bar, None if none.
    CommandId ButtonAt(POINT client) const;
    std::optional<CommandId> Held() const { return hold_.Held(); }

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetPictures(int dpi, HFONT font);
    void SetButtonSize(int dpi) const;
    void EndHold(bool releaseCapture);

    HWND hwnd_ = nullptr;
    unique_himagelist pictures_;
    std::vector<std::wstring> captions_;
    std::vector<std::wstring> hints_;
    PressHandler onPress_;
    ButtonHold hold_;
    bool ownCapture_ = false;
};

}  // namespace ocu::win
