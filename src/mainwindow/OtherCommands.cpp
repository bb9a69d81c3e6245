// Commands whose work lies outside the view: image output, the options and
// version dialogs, and the help.
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
        const std::string helpFile = folder + "\\" + kHelpFileName;
        if (shell.FileExists(helpFile)) return shell.OpenHelpFile(helpFile);
        const std::string guide = folder + "\\" + kGuideFileName;
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

void TfrmCap::LeaveTopMostForHelp() {
    // The viewer or browser must be able to come to the front; nothing puts the
    // window back on top afterwards.
    switchTopMost(false);
}

void TfrmCap::OnOtherCommand(CommandId id) {
    switch (id) {
    case CommandId::mmSaveViewFile:
        if (imageOutput_.Attached()) imageOutput_.SaveViewFile();
        break;
    case CommandId::mmCopyToClipBoard:
        if (imageOutput_.Attached()) imageOutput_.CopyViewToClipboard();
        break;
    case CommandId::mmPrint:
        if (imageOutput_.Attached()) imageOutput_.PrintView();
        break;
    case CommandId::mmOption:
        if (shell_) RunModal(&TfrmCap::OptionsDialog);
        break;
    case CommandId::Help1:
        LeaveTopMostForHelp();
        if (shell_) shell_->OpenUrl(kOnlineHelpUrl);
        break;
    case CommandId::Help2:
        LeaveTopMostForHelp();
        if (shell_) OpenHelp(*shell_);
        break;
    case CommandId::About1:
        if (shell_) {
            s_.CapturePaused = true;
            struct Resume {
                bool& paused;
                ~Resume() { paused = false; }
            } resume{s_.CapturePaused};
            shell_->ShowVersionDialog();
        }
        break;
    default: OnAddedCommand(id); break;
    }
}

}  // namespace ocu
