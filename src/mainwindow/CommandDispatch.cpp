// Hot keys, menu state and the command table's actions.
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

void TfrmCap::RegisterHotKeys() {
    if (s_.HotKeysRegistered) return;
    if (!ini_.HotKeysAlways && !windowActive_) return;  // left to the other programs until we are active
    std::string failed;
    for (const HotKey& k : HotKeyTable()) {
        // A combination that another program holds is skipped; the rest still register.
        if (!p_.RegisterHotKey(k.Id, k.Modifiers, k.VirtualKey)) {
            failed += std::string(k.Keys) + "（" + std::string(k.Action) + "）\n";
        }
    }
    if (!failed.empty() && hotKeyFailures_.empty()) hotKeyFailures_ = failed;
    s_.HotKeysRegistered = true;
}

void TfrmCap::UnregisterHotKeys() {
    if (!s_.HotKeysRegistered) return;
    for (const HotKey& k : HotKeyTable()) p_.UnregisterHotKey(k.Id);
    s_.HotKeysRegistered = false;
}

void TfrmCap::OnHotKey(int id) {
    switch (id) {
    case 201: SetZoomRate(Stepped(s_.ZoomRate, s_.ZoomStep)); break;
    case 202: SetZoomRate(Stepped(s_.ZoomRate, -s_.ZoomStep)); break;
    case 216: flipHV(1); break;
    case 215: flipHV(2); break;
    case 218:
        // The flag, not the check mark, decides: a pick may have switched the
        // mode off without touching the mark.
        SetChecked(CommandId::mmAtariMode, s_.SurfaceDrawMode);
        OnCommand(CommandId::mmAtariMode);
        UpdateStatus();
        break;
    case 219:
        SetChecked(CommandId::mmBltAtari, s_.SurfaceVisible);
        OnCommand(CommandId::mmBltAtari);
        UpdateStatus();
        break;
    case 217: ToggleProjection(); break;
    case 220:
        mFlexFlipClick();
        UpdateStatus();  // the title must show the typed angle, as the menu's path does
        break;
    case 221: s_.GridVisible = !s_.GridVisible; break;
    case 302:
        s_.RotateAngle += s_.RotateStep;
        rotateAngle();
        break;
    case 301:
        s_.RotateAngle -= s_.RotateStep;
        rotateAngle();
        UpdateStatus();
        break;
    case 211: if (s_.ProjectionMode) MoveFixArea("left"); break;
    case 212: if (s_.ProjectionMode) MoveFixArea("right"); break;
    case 213: if (s_.ProjectionMode) MoveFixArea("up"); break;
    case 214: if (s_.ProjectionMode) MoveFixArea("down"); break;
    default: break;
    }
}

void TfrmCap::OnMenuOpen(CommandId topLevel) {
    static constexpr CommandId kMoves[] = {CommandId::mmLeft, CommandId::mmRight, CommandId::mmUpper,
                                           CommandId::mmDowner};
    switch (topLevel) {
    case CommandId::MenuRate:
        SetChecked(CommandId::mmSrcNot, s_.InvertColors);
        break;
    case CommandId::MenuFixView:
        SetChecked(CommandId::mmFixViewSw, s_.FixView);
        for (CommandId id : kMoves) SetEnabled(id, s_.ProjectionMode || s_.FixView);
        break;
    case CommandId::MenuRange: {
        for (CommandId id : kMoves) SetEnabled(id, s_.ProjectionMode);
        SetChecked(CommandId::mmGraph, s_.GridVisible);
        static constexpr CommandId kUnits[] = {CommandId::mmGraph30, CommandId::mmGraph40, CommandId::mmGraph50,
                                               CommandId::mmGraph60, CommandId::mmGraphFlex};
        for (CommandId id : kUnits) SetChecked(id, false);
        if (s_.GridVisible) {
            switch (s_.GridUnit) {
            case 30: SetChecked(CommandId::mmGraph30, true); break;
            case 40: SetChecked(CommandId::mmGraph40, true); break;
            case 50: SetChecked(CommandId::mmGraph50, true); break;
            case 60: SetChecked(CommandId::mmGraph60, true); break;
            default: SetChecked(CommandId::mmGraphFlex, true); break;
            }
        }
        break;
    }
    case CommandId::MenuSave:
        SetChecked(CommandId::mmColorHex, ini_.InfoIsHex);
        break;
    case CommandId::MenuAtari:
        SetChecked(CommandId::mmBltAtari, s_.SurfaceVisible);
        SetChecked(CommandId::mmAtariMode, s_.SurfaceDrawMode);
        break;
    case CommandId::MenuAtaris:
        SetEnabled(CommandId::mmWndInfo, s_.ProjectionMode);
        SetEnabled(CommandId::mmFix, !s_.SurfaceDrawMode);
        break;
    default:
        break;
    }
}

void TfrmCap::OnShortcut(CommandId id) {
    // A shortcut is the menu opened and the entry chosen: the open handler decides
    // whether the entry is enabled.
    OnMenuOpen(TopLevelOf(id));
    if (MenuEnabled(id)) OnCommand(id);
}

void TfrmCap::OnCommand(CommandId id) {
    using C = CommandId;
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
    case C::mmFlipH: case C::tbFlipH: flipHV(1); break;
    case C::mmFlipV: case C::tbFlipV: flipHV(2); break;
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
    case C::mmGrid: {
        const bool on = !MenuChecked(C::mmGrid);
        SetChecked(C::mmGrid, on);
        s_.CenterLineVisible = on;
        break;
    }
    case C::mm200x200: ChgWindowSize(200, 200); break;
    case C::mm300x300: ChgWindowSize(300, 300); break;
    case C::N400x3001: ChgWindowSize(400, 300); break;
    case C::N400x4001: ChgWindowSize(400, 400); break;
    case C::mm300x400: ChgWindowSize(300, 400); break;

    case C::mmAtariMode: {
        const bool on = !MenuChecked(C::mmAtariMode);
        SetChecked(C::mmAtariMode, on);
        SetSurfaceDrawMode(on);
        UpdateStatus();
        break;
    }
    case C::mmBltAtari: {
        const bool on = !MenuChecked(C::mmBltAtari);
        SetChecked(C::mmBltAtari, on);
        s_.SurfaceVisible = on;
        UpdateStatus();
        break;
    }
    case C::mmClearAtari: ClearSurfaceLayer(); break;

    case C::mmFix: {
        const bool on = !MenuChecked(C::mmFix);
        SetChecked(C::mmFix, on);
        if (on) {
            BeginPick(false);
            const IntRect w = p_.WindowRect();
            p_.SetCursorPos({w.Left, w.Top});
        } else {
            SetProjection(false);
        }
        break;
    }

    case C::mmTopMost: switchTopMost(!MenuChecked(C::mmTopMost)); break;
    case C::mmSampRate: RunModal(&TfrmCap::SampRate); break;

    default:
        OnOtherCommand(id);
        break;
    }
}

}  // namespace ocu
