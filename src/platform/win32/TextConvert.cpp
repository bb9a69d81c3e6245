#include "platform/win32/TextConvert.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace ocu::win {
namespace {

int CheckedLength(std::size_t n) {
    if (n > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw std::length_error("text too long");
    return static_cast<int>(n);
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int inLen = CheckedLength(utf8.size());
    const int outLen = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, nullptr, 0);
    if (outLen <= 0) return {};
    std::wstring out(static_cast<std::size_t>(outLen), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, out.data(), outLen);
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int inLen = CheckedLength(wide.size());
    const int outLen = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
    if (outLen <= 0) return {};
    std::string out(static_cast<std::size_t>(outLen), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, out.data(), outLen, nullptr, nullptr);
    return out;
}

}  // namespace ocu::win
