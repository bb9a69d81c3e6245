#include "mainwindow/CommandStates.h"

namespace ocu {

CommandStates MenuStates(const ViewState& s, const AddedSwitches& added) {
    using C = CommandId;
    CommandStates out;

    out.SetChecked(C::mmFlipH, s.FlipH);
    out.SetChecked(C::mmFlipV, s.FlipV);
    out.SetChecked(C::mmFlexRotate, s.Rotated);
    out.SetChecked(C::mmSrcNot, s.InvertColors);

    out.SetChecked(C::mmFixViewSw, s.FixView);
    // The grid menu's open handler greys the moves by projection alone; the area
    // menu, which holds them, also lets a fixed area move.
    const bool movable = s.ProjectionMode || (s.FixView && s.OpenedMenu != C::MenuRange);
    for (C id : {C::mmLeft, C::mmRight, C::mmUpper, C::mmDowner}) out.SetEnabled(id, movable);

    out.SetChecked(C::mmGraph, s.GridVisible);
    bool fixedUnit = false;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Action != CommandAction::GridUnit) continue;
        const bool same = s.GridUnit == static_cast<int>(e.Value.Amount);
        out.SetChecked(e.Id, s.GridVisible && same);
        fixedUnit = fixedUnit || same;
    }
    out.SetChecked(C::mmGraphFlex, s.GridVisible && !fixedUnit);
    out.SetChecked(C::mmGrid, s.CenterLineVisible);

    out.SetChecked(C::mmColorShow, added.ColorShown);
    out.SetChecked(C::mmColorHex, added.ColorAsHex);

    out.SetChecked(C::mmAtariMode, s.SurfaceDrawMode);
    out.SetChecked(C::mmBltAtari, s.SurfaceVisible);

    // The entry is on from the moment it starts the pick of a target.
    out.SetChecked(C::mmFix, s.ProjectionMode || s.ProjectionPickPending);
    out.SetEnabled(C::mmFix, !s.SurfaceDrawMode);
    out.SetEnabled(C::mmWndInfo, s.ProjectionMode);

    out.SetChecked(C::mmTopMost, s.TopMost);
    out.SetChecked(C::mmHotKeysAlways, added.HotKeysAlways);
    return out;
}

}  // namespace ocu
