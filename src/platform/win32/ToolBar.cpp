#include "platform/win32/ToolBar.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>

#include "mainwindow/ErrorTexts.h"
#include "mainwindow/ViewLayout.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/SystemColours.h"
#include "platform/win32/TextConvert.h"
#include "platform/win32/ToolBarPictures.h"

namespace ocu::win {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 38;

bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
           msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

bool IsButtonUp(UINT msg) { return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP; }

}  // namespace

ToolBar::ToolBar(HWND parent, HINSTANCE instance, int controlId, HFONT font, PressHandler onPress, int dpi)
    : onPress_(std::move(onPress)) {
    hwnd_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                  CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                              0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance,
                              nullptr);
    if (hwnd_ == nullptr) throw std::runtime_error(std::string(text::kNoToolBar));
    ::SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetPictures(dpi, font);

    const auto buttons = MainToolBar();
    captions_.reserve(buttons.size());
    hints_.reserve(buttons.size());
    std::vector<TBBUTTON> tb(buttons.size());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        captions_.push_back(Utf8ToWide(buttons[i].Caption));
        hints_.push_back(Utf8ToWide(buttons[i].Hint));
        tb[i].iBitmap = static_cast<int>(i);
        tb[i].idCommand = static_cast<int>(buttons[i].Id);
        tb[i].fsState = TBSTATE_ENABLED;
        tb[i].fsStyle = BTNS_BUTTON;
        tb[i].iString = reinterpret_cast<INT_PTR>(captions_[i].c_str());
    }
    if (!::SendMessageW(hwnd_, TB_ADDBUTTONSW, tb.size(), reinterpret_cast<LPARAM>(tb.data())))
        throw std::runtime_error(std::string(text::kNoToolBar));
    SetButtonSize(dpi);
    // A caption as wide as its button (five full-width characters in a font
    // without proportional kana) is shown whole rather than cut to "...".
    ::SendMessageW(hwnd_, TB_SETDRAWTEXTFLAGS, DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS, 0);
    if (const HWND tips = reinterpret_cast<HWND>(::SendMessageW(hwnd_, TB_GETTOOLTIPS, 0, 0)); tips != nullptr) {
        ::SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Wine will not put a window into the always-on-top band while a topmost
        // popup (this tip) is owned by it. The tip is topmost on its own and
        // talks to the bar, not to its owner, so it does without one.
        ::SetWindowLongPtrW(tips, GWLP_HWNDPARENT, 0);
    }
    ::SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

ToolBar::~ToolBar() {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
}

void ToolBar::SetPictures(int dpi, HFONT font) {
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const int side = ScaleForDpi(kPictureSize, dpi);
    unique_himagelist pictures = MakeToolBarPictures(side);
    ::SendMessageW(hwnd_, TB_SETBITMAPSIZE, 0, MAKELPARAM(side, side));
    ::SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures.get()));
    // The bar has let go of the old list: it may go now.
    pictures_ = std::move(pictures);
}

void ToolBar::SetButtonSize(int dpi) const {
    const int width = ScaleForDpi(kButtonWidth, dpi), height = ScaleForDpi(kButtonHeight, dpi);
    ::SendMessageW(hwnd_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(width, width));
    ::SendMessageW(hwnd_, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
}

void ToolBar::SetDpi(int dpi, HFONT font) {
    SetPictures(dpi, font);
    if (const HWND tips = reinterpret_cast<HWND>(::SendMessageW(hwnd_, TB_GETTOOLTIPS, 0, 0)); tips != nullptr)
        ::SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetButtonSize(dpi);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ToolBar::Place(int x, int y, int width, int height) const {
    ::SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

CommandId ToolBar::ClickCommand(WORD id) const { return ocu::ClickCommand(static_cast<CommandId>(id)); }

CommandId ToolBar::ButtonAt(POINT client) const {
    const auto index = static_cast<int>(::SendMessageW(hwnd_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    if (index < 0) return CommandId::None;
    TBBUTTON b{};
    if (!::SendMessageW(hwnd_, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return CommandId::None;
    return static_cast<CommandId>(b.idCommand);
}

std::optional<LRESULT> ToolBar::OnNotify(const NMHDR& header) {
    if (header.code == NM_CUSTOMDRAW && header.hwndFrom == hwnd_) {
        auto& cd = *reinterpret_cast<NMTBCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
        switch (cd.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: {
            RECT all{};
            ::GetClientRect(hwnd_, &all);
            const unique_hbrush cream(::CreateSolidBrush(BarFace(kCream)));
            ::FillRect(cd.nmcd.hdc, &all, cream.get());
            return CDRF_NOTIFYITEMDRAW;
        }
        case CDDS_ITEMPREPAINT: cd.clrText = CaptionText(kCaptionBlue); return CDRF_DODEFAULT;
        default: return CDRF_DODEFAULT;
        }
    }
    if (header.code == TTN_GETDISPINFOW) {
        const auto id = static_cast<CommandId>(header.idFrom);
        const auto buttons = MainToolBar();
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (buttons[i].Id != id) continue;
            auto& info = *reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&header));
            info.hinst = nullptr;
            info.lpszText = const_cast<wchar_t*>(hints_[i].c_str());
            return 0;
        }
    }
    return std::nullopt;
}

void ToolBar::EndHold(bool releaseCapture) {
    const std::optional<CommandId> id = hold_.End();
    if (!id) return;
    if (std::exchange(ownCapture_, false) && releaseCapture && ::GetCapture() == hwnd_) ::ReleaseCapture();
    onPress_(*id, false);
}

LRESULT ToolBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (IsButtonDown(msg)) {
        const CommandId id = ButtonAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        const LRESULT r = ::DefSubclassProc(hwnd_, msg, wParam, lParam);
        if (hold_.Press(id)) {
            // Only the left button makes the bar take the mouse; the release of
            // any other must still come here, wherever the pointer is then.
            if (::GetCapture() != hwnd_) {
                ::SetCapture(hwnd_);
                ownCapture_ = true;
            }
            onPress_(id, true);
        }
        return r;
    }
    if (IsButtonUp(msg)) {
        const LRESULT r = ::DefSubclassProc(hwnd_, msg, wParam, lParam);
        EndHold(true);
        return r;
    }
    if (msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != hwnd_) {
        // The capture went elsewhere (a message box, another window): a hold
        // whose release can no longer arrive ends now, so the repeat stops.
        const LRESULT r = ::DefSubclassProc(hwnd_, msg, wParam, lParam);
        ownCapture_ = false;
        EndHold(false);
        return r;
    }
    return ::DefSubclassProc(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK ToolBar::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<ToolBar*>(ref);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        self->hwnd_ = nullptr;
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    Guarded(::GetParent(hwnd), [&] { result = self->OnMessage(msg, wParam, lParam); });
    return result;
}

}  // namespace ocu::win
