#include "platform/win32/ErrorReport.h"

#include "mainwindow/ErrorTexts.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {
bool g_reporting = false;
// Made at start: the report of a failure must not itself need memory.
const std::wstring g_unexpectedError = Utf8ToWide(text::kUnexpectedError);
}  // namespace

std::string ExceptionText(std::exception_ptr e) {
    try {
        if (e) std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return ex.what();
    } catch (...) {
    }
    return std::string(text::kUnexpectedError);
}

void ReportCurrentException(HWND owner) noexcept {
    if (g_reporting) return;
    g_reporting = true;
    try {
        const std::wstring text = Utf8ToWide(ExceptionText(std::current_exception()));
        if (owner != nullptr && !::IsWindow(owner)) owner = nullptr;
        ::MessageBoxW(owner, text.c_str(), L"Ocumira", MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxW(owner, g_unexpectedError.c_str(), L"Ocumira", MB_OK | MB_ICONERROR);
    }
    g_reporting = false;
}

}  // namespace ocu::win
