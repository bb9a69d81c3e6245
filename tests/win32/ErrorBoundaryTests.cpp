// An exception that reaches a window procedure is shown to the user, and the
// program goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/ErrorReport.h"
#include "platform/win32/ToolBar.h"
#include "platform/win32/UiFont.h"
#include "win32/Win32TestSupport.h"

namespace ocu::win {
namespace {

TEST(ErrorBoundaryTest, AThrowingHandlerBehindAToolBarButtonIsReportedNotFatal) {
    wintest::MessageBoxCloser boxes;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const unique_hwnd parent(::CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 500, 120, nullptr,
                                               nullptr, instance, nullptr));
    ASSERT_TRUE(parent);
    int presses = 0;
    ToolBar bar(parent.get(), instance, 1, UiFont(), [&](CommandId, bool down) {
        if (!down) return;
        ++presses;
        throw std::runtime_error("ボタンの処理に失敗しました");
    });
    bar.Place(0, 0, 480, 44);
    RECT r{};
    ::SendMessageW(bar.Handle(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (int i = 0; i < 2; ++i) {
        ::SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
        ::SendMessageW(bar.Handle(), WM_LBUTTONUP, 0, centre);
    }
    EXPECT_EQ(presses, 2) << "the bar still works after the first failure";
    const auto texts = boxes.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), L"ボタンの処理に失敗しました"), 2);
}

constexpr INT_PTR kClosed = 7;

INT_PTR FailingDialogBody(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) throw std::runtime_error("ダイアログの処理に失敗しました");
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
        ::EndDialog(dialog, kClosed);
        return TRUE;
    }
    return FALSE;
}

// A dialog whose procedure throws while it opens: the text is reported, the dialog still
// opens and closes, and the caller goes on.
TEST(ErrorBoundaryTest, AThrowingDialogProcedureIsReportedNotFatal) {
    wintest::MessageBoxCloser boxes;  // answers the report and then the dialog with OK
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialog{};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dialog.header.cx = 120;
    dialog.header.cy = 40;
    const INT_PTR r = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &dialog.header, nullptr,
                                                GuardedDialogProc<FailingDialogBody>, 0);
    EXPECT_EQ(r, kClosed);
    const auto texts = boxes.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), L"ダイアログの処理に失敗しました"), 1);
}

}  // namespace
}  // namespace ocu::win
