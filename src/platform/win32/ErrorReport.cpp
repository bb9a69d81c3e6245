#include "platform/win32/ErrorReport.h"

#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {
bool g_reporting = false;
}

std::string ExceptionText(std::exception_ptr e) {
    try {
        if (e) std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return ex.what();
    } catch (...) {
    }
    return "予期しないエラーが発生しました。";
}

void ReportCurrentException(HWND owner) noexcept {
    if (g_reporting) return;
    g_reporting = true;
    try {
        const std::wstring text = Utf8ToWide(ExceptionText(std::current_exception()));
        if (owner != nullptr && !::IsWindow(owner)) owner = nullptr;
        ::MessageBoxW(owner, text.c_str(), L"Ocumira", MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxW(owner, L"予期しないエラーが発生しました。", L"Ocumira", MB_OK | MB_ICONERROR);
    }
    g_reporting = false;
}

}  // namespace ocu::win
