// The grid unit and the sampling rate typed in, the options dialog, the help and the version.
#include "mainwindow/DialogCommands.h"

#include <string>

#include "dialogs/ManageShortcut.h"
#include "mainwindow/ModalInput.h"
#include "mainwindow/NumberInput.h"
#include "mainwindow/Texts.h"
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

void DialogCommands::GraphFlex() {
    RunModal(s_, host_, [this] {
        if (host_.MenuChecked(CommandId::mmGraphFlex)) {
            s_.GridVisible = false;
            return;
        }
        // Cancel and a text that is no whole number leave the grid exactly as it was.
        const auto typed = dialogs_.InputBox("方眼単位", "単位を入力してください。(ピクセル)", "");
        if (!typed) return;
        const auto n = ParseWholeNumber(*typed);
        if (!n) {
            dialogs_.ShowMessage(std::string(text::kBadNumber), "");
            return;
        }
        s_.GridVisible = true;
        s_.GridUnit = *n;
    });
}

void DialogCommands::SampRate() {
    RunModal(s_, host_, [this] {
        const auto typed = dialogs_.InputBox(
            "サンプリングレート", "サンプリングレートを指定してください\r(単位:ms デフォルト 100  範囲 10～400)",
            std::to_string(ini_.SamplingRate));
        if (!typed) return;  // Cancel keeps the rate
        const int n = ParseWholeNumber(*typed).value_or(ini_.SamplingRate);
        if (n < 10 || n > 400) {
            dialogs_.ShowMessage(std::string(text::kRateOutOfRange), "");
            return;
        }
        struct Retime {
            DialogCommands& d;
            ~Retime() {
                // The new rate is in memory even when the file could not take it.
                try {
                    d.timers_.StartCaptureTimer(d.ini_.SamplingInterval());
                } catch (...) {
                }
            }
        } retime{*this};
        ini_.SetSamplingRate(n);
    });
}

void DialogCommands::Options() {
    if (!shell_) return;
    RunModal(s_, host_, [this] {
        const bool exists = ManageShortcut(*shell_, true, false, kShortcutName);
        const auto chosen = shell_->ShowOptionsDialog({exists});
        if (!chosen) return;
        ManageShortcut(*shell_, false, chosen->Shortcut, kShortcutName);
    });
}

void DialogCommands::Help(CommandId which) {
    // The viewer or browser must be able to come to the front; nothing puts the
    // window back on top afterwards.
    host_.switchTopMost(false);
    if (!shell_) return;
    if (which == CommandId::Help1) shell_->OpenUrl(kOnlineHelpUrl);
    else OpenHelp(*shell_);
}

void DialogCommands::About() {
    if (!shell_) return;
    s_.CapturePaused = true;
    struct Resume {
        bool& paused;
        ~Resume() { paused = false; }
    } resume{s_.CapturePaused};
    shell_->ShowVersionDialog();
}

}  // namespace ocu
