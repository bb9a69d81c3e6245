#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "mainwindow/CommandStates.h"

namespace ocu::testing {
namespace {

using C = CommandId;

// Every menu entry but those in `except` has the mark `checked`.
void ExpectOthers(const CommandStates& st, std::initializer_list<C> except, bool checked) {
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind != MenuItemKind::Item && e.Kind != MenuItemKind::Submenu) continue;
        if (std::find(except.begin(), except.end(), e.Id) != except.end()) continue;
        EXPECT_EQ(st.Checked(e.Id), checked) << e.Caption;
    }
}

TEST(MenuStatesTest, EachMarkFollowsItsOwnFlagAndNoOther) {
    EXPECT_NO_FATAL_FAILURE(ExpectOthers(MenuStates(ViewState{}), {}, false));
    struct Case {
        C id;
        std::function<void(ViewState&)> set;
    };
    const std::vector<Case> cases = {
        {C::mmFlipH, [](ViewState& s) { s.FlipH = true; }},
        {C::mmFlipV, [](ViewState& s) { s.FlipV = true; }},
        {C::mmFlexRotate, [](ViewState& s) { s.Rotated = true; }},
        {C::mmSrcNot, [](ViewState& s) { s.InvertColors = true; }},
        {C::mmFixViewSw, [](ViewState& s) { s.FixView = true; }},
        {C::mmGrid, [](ViewState& s) { s.CenterLineVisible = true; }},
        {C::mmAtariMode, [](ViewState& s) { s.SurfaceDrawMode = true; }},
        {C::mmBltAtari, [](ViewState& s) { s.SurfaceVisible = true; }},
        {C::mmFix, [](ViewState& s) { s.ProjectionMode = true; }},
        {C::mmFix, [](ViewState& s) { s.ProjectionPickPending = true; }},
        {C::mmTopMost, [](ViewState& s) { s.TopMost = true; }},
    };
    for (const Case& c : cases) {
        ViewState s;
        c.set(s);
        const CommandStates st = MenuStates(s);
        EXPECT_TRUE(st.Checked(c.id)) << static_cast<int>(c.id);
        ExpectOthers(st, {c.id}, false);
    }
    // The colour readout's mark follows its setting, which the view does not hold.
    EXPECT_TRUE(MenuStates(ViewState{}, {.ColorAsHex = true}).Checked(C::mmColorHex));
    ExpectOthers(MenuStates(ViewState{}, {.ColorAsHex = true}), {C::mmColorHex}, false);
    // A rotation reset to 0 from the tool bar keeps its mark; only the flag counts.
    ViewState reset;
    reset.Rotated = true;
    reset.RotateAngle = 0;
    EXPECT_TRUE(MenuStates(reset).Checked(C::mmFlexRotate));
}

TEST(MenuStatesTest, TheGridMarksItsSpacingAndTheFreeEntryTakesTheRest) {
    const C units[] = {C::mmGraph30, C::mmGraph40, C::mmGraph50, C::mmGraph60, C::mmGraphFlex};
    const struct {
        int unit;
        C marked;
    } cases[] = {{30, C::mmGraph30}, {40, C::mmGraph40},   {50, C::mmGraph50},
                 {60, C::mmGraph60}, {45, C::mmGraphFlex}, {0, C::mmGraphFlex}};
    for (const auto& c : cases) {
        ViewState s;
        s.GridUnit = c.unit;
        s.GridVisible = true;
        const CommandStates shown = MenuStates(s);
        EXPECT_TRUE(shown.Checked(C::mmGraph)) << c.unit;
        for (C u : units) EXPECT_EQ(shown.Checked(u), u == c.marked) << c.unit;
        s.GridVisible = false;  // hidden: no spacing is marked, whatever the unit
        const CommandStates hidden = MenuStates(s);
        EXPECT_FALSE(hidden.Checked(C::mmGraph));
        for (C u : units) EXPECT_FALSE(hidden.Checked(u)) << c.unit;
    }
}

TEST(MenuStatesTest, EntriesAreGreyedOnlyInTheModesThatForbidThem) {
    const C moves[] = {C::mmLeft, C::mmRight, C::mmUpper, C::mmDowner};
    auto enabledExcept = [](const CommandStates& st, std::initializer_list<C> greyed) {
        for (const MenuEntry& e : MainMenu()) {
            if (e.Kind != MenuItemKind::Item && e.Kind != MenuItemKind::Submenu) continue;
            const bool grey = std::find(greyed.begin(), greyed.end(), e.Id) != greyed.end();
            EXPECT_EQ(st.Enabled(e.Id), !grey) << e.Caption;
        }
    };
    ViewState s;
    enabledExcept(MenuStates(s), {C::mmLeft, C::mmRight, C::mmUpper, C::mmDowner, C::mmWndInfo});

    s.FixView = true;  // a fixed area moves from its own menu ...
    s.OpenedMenu = C::MenuFixView;
    enabledExcept(MenuStates(s), {C::mmWndInfo});
    s.OpenedMenu = C::MenuRange;  // ... but the grid menu's open greys the moves by projection alone
    for (C m : moves) EXPECT_FALSE(MenuStates(s).Enabled(m));

    s.ProjectionMode = true;  // projection: the moves and the target's entry whatever was opened
    enabledExcept(MenuStates(s), {});
    s.SurfaceDrawMode = true;  // drawing: projection cannot be switched
    enabledExcept(MenuStates(s), {C::mmFix});
}

}  // namespace
}  // namespace ocu::testing
