#include "platform/qt/QtShellServices.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "dialogs/ManageShortcut.h"
#include "mainwindow/TfrmCap.h"
#include "platform/qt/FileWriteQt.h"
#include "platform/qt/QtDialogs.h"

namespace ocu::qt {
namespace {

// A value of a desktop entry's string key: backslashes and line breaks escaped.
std::string EntryValue(const std::string& s) {
    std::string out;
    for (const char ch : s) {
        if (ch == '\\') out += "\\\\";
        else if (ch == '\n') out += "\\n";
        else if (ch == '\r') out += "\\r";
        else if (ch == '\t') out += "\\t";
        else out += ch;
    }
    return out;
}

// The program as the one quoted argument of Exec: inside the quotes ", `, $ and \ are
// escaped, a % is doubled (field codes), and the whole is then escaped as a string value.
std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (const char ch : path) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\') quoted += '\\';
        if (ch == '%') quoted += '%';
        quoted += ch;
    }
    return EntryValue(quoted + "\"");
}

}  // namespace

std::string DesktopEntryText(const std::string& name, const std::string& target, const std::string& workingDir,
                             const std::string& icon) {
    std::string text = "[Desktop Entry]\nType=Application\nName=" + EntryValue(name) +
                       "\nExec=" + ExecArgument(target) + "\nPath=" + EntryValue(workingDir) + "\n";
    if (!icon.empty()) text += "Icon=" + EntryValue(icon) + "\n";
    return text + "Terminal=false\n";
}

std::string QtShellServices::ProgramPath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::optional<std::string> QtShellServices::ProgramsFolder() {
    // The freedesktop base directories: a relative $XDG_DATA_HOME is to be ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/applications";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return std::nullopt;
    return std::string(home) + "/.local/share/applications";
}

bool QtShellServices::FileExists(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return info.exists() && !info.isDir();
}

bool QtShellServices::CreateShortcut(const std::string& linkPath, const std::string& target,
                                     const std::string& workingDir) {
    const QFileInfo link(QString::fromStdString(linkPath));
    // The applications folder does not exist on a desktop nothing was ever installed on.
    if (!QDir().mkpath(link.absolutePath())) return false;
    const std::string icon = workingDir + "/ocumira.ico";
    const std::string text = DesktopEntryText(link.completeBaseName().toStdString(), target, workingDir,
                                              FileExists(icon) ? icon : std::string());
    return WriteThroughTemporary(linkPath, text, false);
}

bool QtShellServices::DeleteFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(path, error) && !error;
}

void QtShellServices::OpenUrl(const std::string& url) {
    const QString text = QString::fromStdString(url);
    QDesktopServices::openUrl(text.startsWith(u'/') ? QUrl::fromLocalFile(text) : QUrl(text));
}

void QtShellServices::OpenHelpFile(const std::string& helpFile) {
    // The desktop has no viewer of its own for the old help files; one that is there
    // goes to whatever the user has for it.
    if (FileExists(helpFile)) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(helpFile)));
}

std::optional<OptionsChoice> QtShellServices::ShowOptionsDialog(OptionsChoice current) {
    return RunOptionsDialog(owner_, current);
}

void QtShellServices::ShowVersionDialog() { RunVersionDialog(owner_, versionText_, kOnlineHelpUrl); }

}  // namespace ocu::qt
