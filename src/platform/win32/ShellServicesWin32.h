#pragma once
// The shell on Windows: the program's path, the Programs folder and its shell
// links, the browser, the help viewer, and the options and version dialogs.
#include <windows.h>

#include "dialogs/ShellServices.h"

namespace ocu::win {

class Win32ShellServices : public IShellServices {
public:
    Win32ShellServices(HINSTANCE instance, std::wstring versionText)
        : instance_(instance), versionText_(std::move(versionText)) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    std::string ProgramPath() override;
    std::optional<std::string> ProgramsFolder() override;
    bool FileExists(const std::string& path) override;
    bool CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& workingDir) override;
    bool DeleteFile(const std::string& path) override;
    void OpenUrl(const std::string& url) override;
    void OpenHelpFile(const std::string& helpFile) override;
    std::optional<OptionsChoice> ShowOptionsDialog(OptionsChoice current) override;
    void ShowVersionDialog() override;

private:
    HINSTANCE instance_;
    HWND owner_ = nullptr;
    std::wstring versionText_;
};

}  // namespace ocu::win
