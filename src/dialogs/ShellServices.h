#pragma once
// The shell's services: the program's own path, the Programs-menu shortcut, help,
// and the options and version dialogs. A port: the Win32 edge implements it.
#include <optional>
#include <string>

namespace ocu {

// The check box of the options dialog.
struct OptionsChoice {
    bool Shortcut = false;  // a shortcut in the Programs menu
};

class IShellServices {
public:
    virtual ~IShellServices() = default;
    virtual std::string ProgramPath() = 0;                    // full path of the exe (UTF-8)
    virtual std::optional<std::string> ProgramsFolder() = 0;  // the user's Programs folder
    // How this shell names things: the separator of its paths and the ending of its
    // shortcut files (a shell link on Windows, a desktop entry on the Linux desktop).
    virtual char PathSeparator() { return '\\'; }
    virtual std::string ShortcutExtension() { return ".lnk"; }
    virtual bool FileExists(const std::string& path) = 0;
    // A shell link at linkPath to target, working in workingDir; false on failure.
    virtual bool CreateShortcut(const std::string& linkPath, const std::string& target,
                                const std::string& workingDir) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // A web address or a document, opened with the shell's default verb.
    virtual void OpenUrl(const std::string& url) = 0;
    virtual void OpenHelpFile(const std::string& helpFile) = 0;  // contents and index
    // The options dialog showing `current`; the boxes' states on OK, nullopt on cancel.
    virtual std::optional<OptionsChoice> ShowOptionsDialog(OptionsChoice current) = 0;
    virtual void ShowVersionDialog() = 0;
};

}  // namespace ocu
