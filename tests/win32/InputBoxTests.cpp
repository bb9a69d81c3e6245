// The one-line input box, answered by a helper thread as a user would.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/InputBox.h"
#include "platform/win32/UiFont.h"

namespace ocu::win {
namespace {

// Finds the box by its title and answers it as a user would: types `text`, then
// presses OK or cancels. Finish() waits for it and returns the prompt it saw.
class Answerer {
public:
    Answerer(std::wstring title, std::wstring text, bool ok)
        : thread_([this, title = std::move(title), text = std::move(text), ok] { Run(title, text, ok); }) {}
    ~Answerer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::wstring Finish() {
        if (thread_.joinable()) thread_.join();
        return prompt_;
    }

private:
    void Run(const std::wstring& title, const std::wstring& text, bool ok) {
        for (int i = 0; i < 500 && !stop_; ++i) {
            const HWND box = ::FindWindowW(nullptr, title.c_str());
            if (box != nullptr && ::IsWindowVisible(box)) {
                wchar_t buffer[256]{};
                ::GetWindowTextW(::GetDlgItem(box, 100), buffer, 256);
                prompt_ = buffer;
                ::SendMessageW(::GetDlgItem(box, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                ::PostMessageW(box, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::atomic<bool> stop_{false};
    std::wstring prompt_;
    std::thread thread_;
};

TEST(InputBoxTest, OkReturnsWhatWasTyped) {
    Answerer user(L"任意角度回転", L"45", true);
    const auto typed = ShowInputBox(::GetModuleHandleW(nullptr), nullptr, L"任意角度回転",
                                    L"角度を入力してください(1～359)", L"", UiFont());
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(*typed, L"45");
    EXPECT_EQ(user.Finish(), L"角度を入力してください(1～359)");
}

TEST(InputBoxTest, CancelReturnsNothingEvenWithText) {
    Answerer user(L"サンプリングレート", L"100", false);
    const auto typed =
        ShowInputBox(::GetModuleHandleW(nullptr), nullptr, L"サンプリングレート", L"ミリ秒\r10～400", L"100", UiFont());
    EXPECT_FALSE(typed.has_value());
    EXPECT_EQ(user.Finish(), L"ミリ秒\r\n10～400");
}

TEST(InputBoxTest, AnEmptyAnswerIsAnAnswer) {
    Answerer user(L"任意", L"", true);
    const auto typed = ShowInputBox(::GetModuleHandleW(nullptr), nullptr, L"任意", L"", L"60", UiFont());
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(*typed, L"");
}

}  // namespace
}  // namespace ocu::win
