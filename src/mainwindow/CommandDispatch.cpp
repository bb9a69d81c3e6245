// The one dispatch of commands: menu entries, shortcuts, tool buttons and hot keys.
// A command whose table row says what it does with a value runs from the row; the
// others have their code here.
#include <string>

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
    if (MenuStates().Enabled(id)) RunCommand(id);
}

void TfrmCap::RunHotKeyVariant(CommandId id, HotKeyVariant variant) {
    using V = HotKeyVariant;
    switch (variant) {
    case V::FineStep:
        if (const MenuEntry* row = FindMenuEntry(id))
            controls_.SetZoomRate(ZoomStepped(s_.ZoomRate, row->Value.Amount * s_.ZoomStep));
        break;
    case V::MarkFirst:
        // The flag, not the mark, decides: a pick may have switched the mode off
        // while the menu was closed, so the menu is brought up to date first.
        RefreshMenuStates();
        RunCommand(id);
        UpdateStatus();
        break;
    case V::AtPointer: projection_.ToggleProjection(); break;
    case V::WhileProjecting:
        if (!s_.ProjectionMode) break;
        RunCommand(id);
        break;
    case V::OneStep:
        if (const ToolButton* b = FindToolButton(id)) {
            s_.RotateAngle += static_cast<int>(b->Steps) * s_.RotateStep;
            controls_.rotateAngle();
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
    const CommandValue v = row ? row->Value : CommandValue{};
    switch (row ? row->Action : CommandAction::Own) {
    case CommandAction::ZoomBy: controls_.SetZoomRate(ZoomStepped(s_.ZoomRate, v.Amount)); break;
    case CommandAction::ZoomTo: controls_.SetZoomRate(v.Amount); break;
    case CommandAction::GridUnit:
        // The entry's mark is on while the grid shows with its spacing: choosing it again hides the grid.
        s_.GridVisible = !MenuChecked(id);
        if (s_.GridVisible) s_.GridUnit = static_cast<int>(v.Amount);
        break;
    case CommandAction::WindowSize: ChgWindowSize(v.Size.X, v.Size.Y); break;
    case CommandAction::Own: RunOwnCommand(id); break;
    default: break;  // turning is for held buttons and hot keys, not menu entries
    }
    RefreshMenuStates();
}

void TfrmCap::RunOwnCommand(CommandId id) {
    using C = CommandId;
    switch (id) {
    case C::mmFlipH:
    case C::tbFlipH: controls_.flipHV(1); break;
    case C::mmFlipV:
    case C::tbFlipV: controls_.flipHV(2); break;
    case C::mmFlexRotate:
        controls_.mFlexFlipClick();
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
        if (s_.FixView) areaPick_.SetFixView(false, 0, 0);
        else areaPick_.BeginPick(true);
        break;
    case C::mmLeft: areaPick_.MoveFixArea("left"); break;
    case C::mmRight: areaPick_.MoveFixArea("right"); break;
    case C::mmUpper: areaPick_.MoveFixArea("up"); break;
    case C::mmDowner: areaPick_.MoveFixArea("down"); break;

    case C::mmGraphFlex: dialogs_.GraphFlex(); break;
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
            areaPick_.BeginPick(false);
            const IntRect w = p_.WindowRect();
            p_.SetCursorPos({w.Left, w.Top});
        } else {
            projection_.SetProjection(false);
        }
        break;
    }

    case C::mmTopMost: switchTopMost(!s_.TopMost); break;
    case C::mmSampRate: dialogs_.SampRate(); break;

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
        if (imageOutput_.Attached()) imageOutput_.CopyColor(readout_.Text());
        break;
    case C::mmColorShow:
        ini_.PointerColorVisible = !ini_.PointerColorVisible;
        p_.ShowColorReadout(ini_.PointerColorVisible);
        RefreshMenuStates();
        readout_.Show(true);  // the panel is new: it gets the reading at once
        break;
    case C::mmColorHex:
        ini_.InfoIsHex = !ini_.InfoIsHex;
        RefreshMenuStates();
        readout_.Show();
        break;
    case C::mmHotKeysAlways:
        hotKeys_.SetHotKeysAlways(!ini_.HotKeysAlways);
        RefreshMenuStates();
        break;

    case C::mmOption: dialogs_.Options(); break;
    case C::Help1:
    case C::Help2: dialogs_.Help(id); break;
    case C::About1: dialogs_.About(); break;
    default: break;
    }
}

}  // namespace ocu
