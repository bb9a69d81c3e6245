#pragma once
// The options and version dialogs, from the templates in resources/Dialogs.rc.
#include <windows.h>

#include <optional>
#include <string>

#include "dialogs/ShellServices.h"

namespace ocu::win {

// The options dialog with its boxes showing `current`: their states on OK, nullopt on cancel.
std::optional<OptionsChoice> ShowOptionsDialog(HINSTANCE instance, HWND owner, OptionsChoice current);

// The version dialog; `versionText` fills the version box, `url` the address line.
void ShowVersionDialog(HINSTANCE instance, HWND owner, const std::wstring& versionText, const std::wstring& url);

// The "FileVersion" of the program file's Japanese (041103A4) string table; empty if there is none.
std::wstring ReadFileVersionText();

}  // namespace ocu::win
