// Commands whose work lies outside the view: the options dialog and the help.
#include "dialogs/ManageShortcut.h"
#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"

namespace ocu {
namespace {

// The guide the release carries beside the program.
constexpr const char* kGuideFileName = "使い方.txt";

// Current Windows has no viewer for the old help files, and none ships with the
// program: unless a help file lies beside the program, the guide is opened with the
// shell. With neither there, the help viewer is still asked, as before.
void OpenHelp(IShellServices& shell) {
    const std::string folder = FolderOf(shell.ProgramPath());
    if (!folder.empty()) {
        const std::string helpFile = folder + shell.PathSeparator() + kHelpFileName;
        if (shell.FileExists(helpFile)) return shell.OpenHelpFile(helpFile);
        const std::string guide = folder + shell.PathSeparator() + kGuideFileName;
        if (shell.FileExists(guide)) return shell.OpenUrl(guide);
    }
    shell.OpenHelpFile(kHelpFileName);
}

}  // namespace

void TfrmCap::OptionsDialog() {
    const bool exists = ManageShortcut(*shell_, true, false, kShortcutName);
    const auto chosen = shell_->ShowOptionsDialog({exists});
    if (!chosen) return;
    ManageShortcut(*shell_, false, chosen->Shortcut, kShortcutName);
}

void TfrmCap::ShowHelp(CommandId which) {
    // The viewer or browser must be able to come to the front; nothing puts the
    // window back on top afterwards.
    switchTopMost(false);
    if (!shell_) return;
    if (which == CommandId::Help1) shell_->OpenUrl(kOnlineHelpUrl);
    else OpenHelp(*shell_);
}

}  // namespace ocu
