// The one dispatch of commands: menu entries, shortcuts, tool buttons and hot keys.
#include <string>

#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewMath.h"
#include "settings/IniManager.h"

namespace ocu {
namespace {
float Stepped(float rate, float delta) {
    return static_cast<float>(static_cast<long double>(rate) + static_cast<long double>(delta));
}
}  // namespace

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
    case V::FineStep: SetZoomRate(Stepped(s_.ZoomRate, id == CommandId::mmDown ? -s_.ZoomStep : s_.ZoomStep)); break;
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
        if (id == CommandId::tbRRotate) {
            s_.RotateAngle += s_.RotateStep;
            rotateAngle();
        } else {
            s_.RotateAngle -= s_.RotateStep;
            rotateAngle();
            UpdateStatus();
        }
        break;
    case V::ShowOrHide: s_.GridVisible = !s_.GridVisible; break;
    case V::AsMenu: RunCommand(id); break;
    }
    RefreshMenuStates();
}

void TfrmCap::RunCommand(CommandId id, HotKeyVariant variant) {
    using C = CommandId;
    if (variant != HotKeyVariant::AsMenu) {
        RunHotKeyVariant(id, variant);
        return;
    }
    switch (id) {
    case C::mmUP: SetZoomRate(Stepped(s_.ZoomRate, 1.0f)); break;
    case C::mmDown: SetZoomRate(Stepped(s_.ZoomRate, -1.0f)); break;
    case C::mmRate10: SetZoomRate(1.0f); break;
    case C::mmRate15: SetZoomRate(1.5f); break;
    case C::mmRate20: SetZoomRate(2.0f); break;
    case C::mmRate25: SetZoomRate(2.5f); break;
    case C::mmRate30: SetZoomRate(3.0f); break;
    case C::mm40: SetZoomRate(4.0f); break;
    case C::mm50: SetZoomRate(5.0f); break;
    case C::mmRate60: SetZoomRate(6.0f); break;
    case C::mmRate70: SetZoomRate(7.0f); break;
    case C::mmRate80: SetZoomRate(8.0f); break;
    case C::mmRate90: SetZoomRate(9.0f); break;
    case C::mmRate100: SetZoomRate(10.0f); break;
    case C::mmRate160: SetZoomRate(16.0f); break;
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

    case C::mmGraph30: SetGraph(id, 30); break;
    case C::mmGraph40: SetGraph(id, 40); break;
    case C::mmGraph50: SetGraph(id, 50); break;
    case C::mmGraph60: SetGraph(id, 60); break;
    case C::mmGraphFlex: RunModal(&TfrmCap::GraphFlex); break;
    case C::mmGrid: s_.CenterLineVisible = !s_.CenterLineVisible; break;
    case C::mm200x200: ChgWindowSize(200, 200); break;
    case C::mm300x300: ChgWindowSize(300, 300); break;
    case C::N400x3001: ChgWindowSize(400, 300); break;
    case C::N400x4001: ChgWindowSize(400, 400); break;
    case C::mm300x400: ChgWindowSize(300, 400); break;

    case C::mmAtariMode:
        SetSurfaceDrawMode(!s_.SurfaceDrawMode);
        UpdateStatus();
        break;
    case C::mmBltAtari:
        s_.SurfaceVisible = !s_.SurfaceVisible;
        UpdateStatus();
        break;
    case C::mmClearAtari: ClearSurfaceLayer(); break;

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

    default: OnOtherCommand(id); break;
    }
    RefreshMenuStates();
}

}  // namespace ocu
