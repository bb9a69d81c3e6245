#pragma once
// The core speaks UTF-8; Win32 speaks UTF-16. Every text crosses here.
#include <string>
#include <string_view>

namespace ocu::win {

// Malformed input never throws: invalid UTF-8 bytes and unpaired surrogates
// become U+FFFD, so a window title from another program cannot stop the view.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace ocu::win
