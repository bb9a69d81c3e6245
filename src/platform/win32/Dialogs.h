#pragma once
// The options and version dialogs, from the templates in resources/Dialogs.rc.
#include <windows.h>

#include <optional>
#include <string>

namespace ocu::win {

// The options dialog with its box showing `checked`: the box's state on OK, nullopt on cancel.
std::optional<bool> ShowOptionsDialog(HINSTANCE instance, HWND owner, bool checked);

// The version dialog; `versionText` fills the version box, `url` the address line.
void ShowVersionDialog(HINSTANCE instance, HWND owner, const std::wstring& versionText, const std::wstring& url);

// The "FileVersion" of the program file's Japanese (041103A4) string table; empty if there is none.
std::wstring ReadFileVersionText();

}  // namespace ocu::win
