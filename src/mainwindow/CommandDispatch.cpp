// The one dispatch of commands: menu entries, shortcuts, tool buttons and hot keys.
// A command whose table row says what it does with a value runs from the row; the
// others have their code here.
#include <string>

#include "mainwindow/PointerColor.h"
#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewMath.h"
#include "settings/IniManager.h"

namespace ocu {

void TfrmCap::OnHotKey(int id) {
    // The system delivers hot keys while a box of ours waits for an answer too; a command
    // run then would open a second box over the first, or change what the box is about.
    if (p_.ModalBoxOpen()) return;
    if (const HotKey* k = FindHotKey(id)) RunCommand(k->Command, k->Variant);
}

void TfrmCap::OnMenuOpen(CommandId topLevel) {
    s_.OpenedMenu = topLevel;
    RefreshMenuStates();
}

void TfrmCap::OnShortcut(CommandId id) {
    // A shortcut is the menu opened and the entry chosen: the open handler decides
    // whether the entry is enabled.
    OnMenuOpen(TopLevelOf(id));
    if (MenuEnabled(id)) RunCommand(id);
}

void TfrmCap::OnCommand(CommandId id) { RunCommand(id); }

void TfrmCap::RunHotKeyVariant(CommandId id, HotKeyVariant variant) {
    using V = HotKeyVariant;
    switch (variant) {
    case V::FineStep:
        if (const MenuEntry* row = FindMenuEntry(id))
            SetZoomRate(ZoomStepped(s_.ZoomRate, row->Value.Amount * s_.ZoomStep));
        break;
    case V::MarkFirst:
        // The flag, not the mark, decides: a pick may have switched the mode off
        // while the menu was closed, so the menu is brought up to date first.
        RefreshMenuStates();
        RunCommand(id);
        UpdateStatus();
        break;
    case V::AtPointer: ToggleProjection(); break;
    case V::WhileProjecting:
        if (!s_.ProjectionMode) break;
        RunCommand(id);
        break;
    case V::OneStep:
        if (const ToolButton* b = FindToolButton(id)) {
            s_.RotateAngle += static_cast<int>(b->Steps) * s_.RotateStep;
            rotateAngle();
        }
        break;
    case V::ShowOrHide: s_.GridVisible = !s_.GridVisible; break;
    case V::AsMenu: RunCommand(id); break;
    }
    RefreshMenuStates();
}

void TfrmCap::RunCommand(CommandId id, HotKeyVariant variant) {
    if (variant != HotKeyVariant::AsMenu) {
        RunHotKeyVariant(id, variant);
        return;
    }
    const MenuEntry* row = FindMenuEntry(id);
    if (row && row->Action != CommandAction::Own) RunAction(*row);
    else RunOwnCommand(id);
    RefreshMenuStates();
}

void TfrmCap::RunAction(const MenuEntry& row) {
    const CommandValue& v = row.Value;
    switch (row.Action) {
    case CommandAction::ZoomBy: SetZoomRate(ZoomStepped(s_.ZoomRate, v.Amount)); break;
    case CommandAction::ZoomTo: SetZoomRate(v.Amount); break;
    case CommandAction::GridUnit: SetGraph(row.Id, static_cast<int>(v.Amount)); break;
    case CommandAction::WindowSize: ChgWindowSize(v.Size.X, v.Size.Y); break;
    default: break;  // turning is for held buttons and hot keys, not menu entries
    }
}

void TfrmCap::RunOwnCommand(CommandId id) {
    using C = CommandId;
    switch (id) {
    case C::mmFlipH:
    case C::tbFlipH: flipHV(1); break;
    case C::mmFlipV:
    case C::tbFlipV: flipHV(2); break;
    case C::mmFlexRotate:
        mFlexFlipClick();
        UpdateStatus();
        break;
    case C::tbReset:
        s_.RotateAngle = 0;
        UpdateStatus();
        break;
    case C::mmSrcNot: s_.InvertColors = !s_.InvertColors; break;
    case C::mmRedrawDesk: p_.InvalidateDesktop(); break;
    case C::Exit2: p_.CloseMainWindow(); break;

    case C::mmFixViewSw:
        if (s_.FixView) SetFixView(false, 0, 0);
        else BeginPick(true);
        break;
    case C::mmLeft: MoveFixArea("left"); break;
    case C::mmRight: MoveFixArea("right"); break;
    case C::mmUpper: MoveFixArea("up"); break;
    case C::mmDowner: MoveFixArea("down"); break;

    case C::mmGraphFlex: RunModal(&TfrmCap::GraphFlex); break;
    case C::mmGrid: s_.CenterLineVisible = !s_.CenterLineVisible; break;

    case C::mmAtariMode:
        surface_.SetSurfaceDrawMode(!s_.SurfaceDrawMode);
        UpdateStatus();
        break;
    case C::mmBltAtari:
        s_.SurfaceVisible = !s_.SurfaceVisible;
        UpdateStatus();
        break;
    case C::mmClearAtari: surface_.ClearSurfaceLayer(); break;

    case C::mmFix: {
        const bool on = !MenuChecked(C::mmFix);
        s_.ProjectionPickPending = on;
        if (on) {
            BeginPick(false);
            const IntRect w = p_.WindowRect();
            p_.SetCursorPos({w.Left, w.Top});
        } else {
            SetProjection(false);
        }
        break;
    }

    case C::mmTopMost: switchTopMost(!s_.TopMost); break;
    case C::mmSampRate: RunModal(&TfrmCap::SampRate); break;

    case C::mmSaveViewFile:
        if (imageOutput_.Attached()) imageOutput_.SaveViewFile();
        break;
    case C::mmCopyToClipBoard:
        if (imageOutput_.Attached()) imageOutput_.CopyViewToClipboard();
        break;
    case C::mmPrint:
        if (imageOutput_.Attached()) imageOutput_.PrintView();
        break;
    case C::mmSavePngFile:
        if (imageOutput_.Attached()) imageOutput_.SavePngFile();
        break;
    case C::mmCopyColor:
        if (imageOutput_.Attached())
            imageOutput_.CopyColor(pointerColor_ ? ColorText(*pointerColor_, ini_.InfoIsHex) : std::string());
        break;
    case C::mmColorShow:
        ini_.PointerColorVisible = !ini_.PointerColorVisible;
        p_.ShowColorReadout(ini_.PointerColorVisible);
        pointerColorShown_ = false;  // the panel is new: it gets the reading at once
        RefreshMenuStates();
        ShowPointerColor();
        break;
    case C::mmColorHex:
        ini_.InfoIsHex = !ini_.InfoIsHex;
        RefreshMenuStates();
        ShowPointerColor();
        break;
    case C::mmHotKeysAlways:
        hotKeys_.SetHotKeysAlways(!ini_.HotKeysAlways);
        RefreshMenuStates();
        break;

    case C::mmOption:
        if (shell_) RunModal(&TfrmCap::OptionsDialog);
        break;
    case C::Help1:
    case C::Help2: ShowHelp(id); break;
    case C::About1:
        if (shell_) {
            s_.CapturePaused = true;
            struct Resume {
                bool& paused;
                ~Resume() { paused = false; }
            } resume{s_.CapturePaused};
            shell_->ShowVersionDialog();
        }
        break;
    default: break;
    }
}

}  // namespace ocu
