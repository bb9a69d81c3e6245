#pragma once
// The shell on the Linux desktop: the program's path, the applications folder and its
// desktop entries, the browser, the guide, and the options and version dialogs.
#include <QPointer>
#include <QWidget>

#include "dialogs/ShellServices.h"

namespace ocu::qt {

class QtShellServices : public IShellServices {
public:
    // `versionText` fills the version dialog's box: the build gives the program's
    // version as OCU_VERSION_TEXT, as the Windows build writes it into the exe.
    QtShellServices(QWidget* owner, std::string versionText) : owner_(owner), versionText_(std::move(versionText)) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    std::string ProgramPath() override;
    std::optional<std::string> ProgramsFolder() override;
    char PathSeparator() override { return '/'; }
    std::string ShortcutExtension() override { return ".desktop"; }
    bool FileExists(const std::string& path) override;
    bool CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& workingDir) override;
    bool DeleteFile(const std::string& path) override;
    void OpenUrl(const std::string& url) override;
    void OpenHelpFile(const std::string& helpFile) override;
    std::optional<OptionsChoice> ShowOptionsDialog(OptionsChoice current) override;
    void ShowVersionDialog() override;

private:
    QPointer<QWidget> owner_;
    std::string versionText_;
};

// The text of a desktop entry that starts `target` in `workingDir`, named `name`.
std::string DesktopEntryText(const std::string& name, const std::string& target, const std::string& workingDir,
                             const std::string& icon);

}  // namespace ocu::qt
