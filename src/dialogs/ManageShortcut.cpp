#include "dialogs/ManageShortcut.h"

namespace ocu {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash);
}

bool ManageShortcut(IShellServices& shell, bool testOnly, bool create, const std::string& name) {
    const std::string program = shell.ProgramPath();
    const auto folder = shell.ProgramsFolder();
    if (program.empty() || !folder || folder->empty()) return false;
    const std::string link = *folder + shell.PathSeparator() + name + shell.ShortcutExtension();
    const bool exists = shell.FileExists(link);
    if (testOnly) return exists;
    // Failures of the file work are not reported: the shortcut is a convenience.
    if (create) {
        if (!exists) shell.CreateShortcut(link, program, FolderOf(program));
    } else if (exists) {
        shell.DeleteFile(link);
    }
    return true;
}

void EnsureShortcutDuringFirstRuns(IShellServices& shell, int runCount, bool runsCounted, const std::string& name) {
    if (runCount >= 5 || !runsCounted) return;
    if (!ManageShortcut(shell, true, true, name)) ManageShortcut(shell, false, true, name);
}

}  // namespace ocu
