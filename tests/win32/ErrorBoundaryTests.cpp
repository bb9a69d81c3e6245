// An exception that reaches a window procedure is shown to the user, and the
// program goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

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

}  // namespace
}  // namespace ocu::win
