#pragma once
// A one-line input box: title, prompt, one edit field, OK and キャンセル.
#include <windows.h>

#include <optional>
#include <string>

namespace ocu::win {

// Modal to `owner`. The prompt may break lines with CR, LF or both. Returns the
// text typed (UTF-16) or nullopt when the box was cancelled or closed.
std::optional<std::wstring> ShowInputBox(HINSTANCE instance, HWND owner, const std::wstring& title,
                                         const std::wstring& prompt, const std::wstring& initial, HFONT font);

}  // namespace ocu::win
