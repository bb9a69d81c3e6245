#pragma once
// The main window's behaviour. The Win32 window procedure turns each message into
// one call here or on one of the collaborators it owns; everything the behaviour
// needs from the system goes through the ports (IPlatform). The member names are the
// program's own handler names; the features with state of their own (zoom and turn,
// projection, the pick of the pinned area, the surface layer, image output, the
// colour readout, the boxes of their own, the hot keys) are those collaborators.
#include <optional>

#include "dialogs/ShellServices.h"
#include "mainwindow/AreaPick.h"
#include "mainwindow/CommandStates.h"
#include "mainwindow/Commands.h"
#include "mainwindow/DialogCommands.h"
#include "mainwindow/HotKeys.h"
#include "mainwindow/ImageOutput.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/PointerColor.h"
#include "mainwindow/PresentedFrame.h"
#include "mainwindow/Projection.h"
#include "mainwindow/SurfaceLayer.h"
#include "mainwindow/ViewControls.h"
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewLayout.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/ImageOutputPort.h"
#include "mainwindow/ports/Platform.h"

namespace ocu {

class TIniManager;

class TfrmCap : private ViewHost {
public:
    TfrmCap(IPlatform& platform, TIniManager& settings);
    // Image output and the shell; without them those commands do nothing.
    void AttachServices(IImageOutput* output, IShellServices* shell) {
        imageOutput_.Attach(output);
        dialogs_.Attach(shell);
    }

    // --- life cycle (called by the Win32 window in this order) ------------------
    void CreateWnd();  // the platform window exists
    void FormCreate();
    void FormResize();  // any size change; reads the state and client size from the platform
    void FormDestroy();
    void DestroyWnd();
    void AppMinimize();
    void AppRestore();

    // --- events ------------------------------------------------------------------
    void timTimer() override;
    void OnHotKey(int id);
    void OnMenuOpen(CommandId topLevel);
    void OnShortcut(CommandId id);  // an accelerator: the menu's open handler runs first
    // Where every menu entry, tool button, accelerator and hot key ends: runs the
    // command, as the hot key's variant where it has one.
    void RunCommand(CommandId id, HotKeyVariant variant = HotKeyVariant::AsMenu);
    void FormMouseDown(MouseButton button, ShiftState shift, int x, int y);
    void FormMouseMove(ShiftState shift, int x, int y);
    void FormMouseUp(MouseButton button, ShiftState shift, int x, int y);
    // The window's DPI: given before CreateWnd, and again whenever it changes. The bars
    // above and below the view are laid out for it; the view stays in screen pixels.
    void SetDpi(int dpi) { dpi_ = dpi > 0 ? dpi : kDesignDpi; }
    // The window now shows at another DPI (moved to another monitor, or the user changed
    // the scale): it takes the outer rectangle the system suggests, which keeps it as
    // large to the eye, and lays the view out again.
    void OnDpiChanged(int dpi, IntRect suggested);

    // --- operations ----------------------------------------------------------------
    void ChgWindowSize(int width, int height);
    void switchTopMost(bool on) override;
    void UpdateStatus() override;
    void RefreshMenuStates() override;

    // --- state and collaborators -----------------------------------------------------
    const ViewState& State() const { return s_; }
    // Test arrangement only: takes a whole view state that would need many steps of
    // input to reach, with no side effect (nothing drawn, saved or sent). The program
    // itself changes its state only through the operations above.
    void Arrange(const ViewState& state) { s_ = state; }
    CommandStates MenuStates() const;
    bool MenuChecked(CommandId id) const override { return MenuStates().Checked(id); }
    ViewControls& Controls() { return controls_; }
    Projection& Projector() { return projection_; }
    AreaPick& Picker() { return areaPick_; }
    SurfaceLayer& Surface() { return surface_; }
    PointerReadout& Readout() { return readout_; }
    HotKeys& Keys() { return hotKeys_; }

private:
    void RunHotKeyVariant(CommandId id, HotKeyVariant variant);
    void RunOwnCommand(CommandId id);  // a command with code of its own

    IPlatform& p_;
    int dpi_ = kDesignDpi;
    TIniManager& ini_;
    ViewState s_;
    // Each takes what it needs of the above; declared after it, in the order they use each other.
    SurfaceLayer surface_{s_, p_};
    Projection projection_{s_, p_, p_, p_, p_, *this, surface_};
    AreaPick areaPick_{s_, p_, p_, p_, *this, ini_, projection_};
    ImageOutput imageOutput_{s_, p_, p_};
    ViewControls controls_{s_, *this, p_, p_, p_};
    DialogCommands dialogs_{s_, *this, p_, p_, ini_};
    PointerReadout readout_{s_, p_, p_, ini_};
    // The last frame shown and what it was made of: a tick whose capture and
    // inputs are all the same renders and presents nothing.
    PresentedFrame presented_;
    std::optional<CommandStates> shownStates_;  // what the menu shows; none before the first refresh
    HotKeys hotKeys_;
};

}  // namespace ocu
