// Commands whose work lies outside the view: image output, the options and
// version dialogs, and the help.
#include <stdexcept>

#include "dialogs/ManageShortcut.h"
#include "mainwindow/TfrmCap.h"
#include "output/BitmapFile.h"
#include "settings/IniManager.h"

namespace ocu {

std::optional<Image> TfrmCap::Snapshot() {
    // Exactly what the view shows on screen now: guides, layer, even a covering window.
    return output_->SnapshotClient(
        {s_.ViewLeft, s_.ViewTop, s_.ViewLeft + s_.ViewWidth, s_.ViewTop + s_.ViewHeight});
}

void TfrmCap::SaveViewFile() {
    // Taken before the dialog: once it closes, the view under it stays blank
    // until the next tick, and that is not what the user chose to save.
    const auto image = Snapshot();
    const auto chosen = output_->SaveDialog("ビットマップ(*.bmp)|*.bmp");
    if (!chosen) return;
    const std::string path = BitmapFileName(*chosen);
    const bool saved = image && !image->Empty() && output_->WriteWholeFile(path, EncodeBmp(*image));
    // A silent failure would let the user believe the picture was kept.
    if (!saved) p_.ShowMessage("「" + path + "」に画像を保存できませんでした。", "");
}

void TfrmCap::CopyViewToClipboard() {
    const auto image = Snapshot();
    if (!image || image->Empty()) throw std::runtime_error("画像を取得できませんでした。");
    if (const auto error = output_->CopyToClipboard(*image)) throw std::runtime_error(*error);
}

void TfrmCap::PrintView() {
    const auto image = Snapshot();  // before the dialog covers the view
    if (!output_->PrintDialog()) return;
    if (!image || image->Empty()) throw std::runtime_error("画像を取得できませんでした。");
    if (const auto error = output_->PrintImage(*image)) throw std::runtime_error(*error);
}

void TfrmCap::OptionsDialog() {
    const bool exists = ManageShortcut(*shell_, true, false, kShortcutName);
    const auto chosen = shell_->ShowOptionsDialog({exists, ini_.HotKeysAlways});
    if (!chosen) return;
    ManageShortcut(*shell_, false, chosen->Shortcut, kShortcutName);
    SetHotKeysAlways(chosen->HotKeysAlways);
}

void TfrmCap::LeaveTopMostForHelp() {
    // The viewer or browser must be able to come to the front; nothing puts the
    // window back on top afterwards.
    switchTopMost(false);
}

void TfrmCap::OnOtherCommand(CommandId id) {
    switch (id) {
    case CommandId::mmSaveViewFile:
        if (output_) SaveViewFile();
        break;
    case CommandId::mmCopyToClipBoard:
        if (output_) CopyViewToClipboard();
        break;
    case CommandId::mmPrint:
        if (output_) PrintView();
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
        if (shell_) shell_->OpenHelpFile(kHelpFileName);
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
    default:
        OnAddedCommand(id);
        break;
    }
}

}  // namespace ocu
