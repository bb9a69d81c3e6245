#pragma once
// The main window's behaviour. The Win32 window procedure turns each message into
// one call here; everything the behaviour needs from the system goes through the
// port (IPlatform). The member names are the program's own handler names; the
// features with state of their own (projection, the pick of the pinned area, the
// surface layer, image output, the hot keys) are collaborators it owns and hands the
// events to.
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/ShellServices.h"
#include "image/Image.h"
#include "mainwindow/AreaPick.h"
#include "mainwindow/AreaPlacement.h"
#include "mainwindow/CommandStates.h"
#include "mainwindow/Commands.h"
#include "mainwindow/HotKeys.h"
#include "mainwindow/ImageOutput.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/PresentedFrame.h"
#include "mainwindow/Projection.h"
#include "mainwindow/SurfaceLayer.h"
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewLayout.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/ImageOutputPort.h"
#include "mainwindow/ports/Platform.h"
#include "pipeline/FramePipeline.h"

namespace ocu {

// The address of the online help page, shown in the version dialog too.
inline constexpr const char* kOnlineHelpUrl = "https://lumivane.example/help/";
inline constexpr const char* kHelpFileName = "Ocumira.hlp";
inline constexpr const char* kShortcutName = "Ocumira";

class TIniManager;

class TfrmCap : private ViewHost {
public:
    TfrmCap(IPlatform& platform, TIniManager& settings);
    // Image output and the shell; without them those commands do nothing.
    void AttachServices(IImageOutput* output, IShellServices* shell) {
        imageOutput_.Attach(output);
        shell_ = shell;
    }

    // --- life cycle (called by the Win32 window in this order) ------------------
    void CreateWnd();  // the platform window exists
    void FormCreate();
    void FormActivate();
    void FormResize();  // any size change; reads the state and client size from the platform
    void FormDestroy();
    void DestroyWnd();
    void AppMinimize();
    void AppRestore();

    // --- events ------------------------------------------------------------------
    void timTimer();
    void timRepeatTimer();
    void OnHotKey(int id);
    void OnMenuOpen(CommandId topLevel);
    // A menu of the window (its bar or a shortcut menu) opens or closes.
    void OnMenuLoop(bool open) { menuLoop_ = open; }
    void OnCommand(CommandId id);   // a menu entry chosen, or a tool bar button clicked
    void OnShortcut(CommandId id);  // an accelerator: the menu's open handler runs first
    // Where every menu entry, tool button, accelerator and hot key ends: runs the
    // command, as the hot key's variant where it has one.
    void RunCommand(CommandId id, HotKeyVariant variant = HotKeyVariant::AsMenu);
    void OnToolButtonDown(CommandId id);
    void OnToolButtonUp(CommandId id);
    void FormMouseDown(MouseButton button, ShiftState shift, int x, int y);
    void FormMouseMove(ShiftState shift, int x, int y);
    void FormMouseUp(MouseButton button, ShiftState shift, int x, int y);
    // A wheel turn over the client point (x, y); delta in WHEEL_DELTA units (120 a notch).
    void FormMouseWheel(ShiftState shift, int delta, int x, int y);
    // The window's DPI: given before CreateWnd, and again whenever it changes. The bars
    // above and below the view are laid out for it; the view stays in screen pixels.
    void SetDpi(int dpi) { dpi_ = dpi > 0 ? dpi : kDesignDpi; }
    // The window now shows at another DPI (moved to another monitor, or the user changed
    // the scale): it takes the outer rectangle the system suggests, which keeps it as
    // large to the eye, and lays the view out again.
    void OnDpiChanged(int dpi, IntRect suggested);

    // --- operations ----------------------------------------------------------------
    void ChgWindowSize(int width, int height);
    void switchTopMost(bool on);
    void UpdateStatus() override;
    void SetZoomRate(float rate);
    bool flipHV(int mode);
    void rotateAngle();
    void mFlexFlipClick();
    void SetFixView(bool enable, int x, int y) { areaPick_.SetFixView(enable, x, y); }
    void MoveFixArea(std::string_view direction) { areaPick_.MoveFixArea(direction); }
    void BeginPick(bool forFixView) { areaPick_.BeginPick(forFixView); }
    void SetProjection(bool on) { projection_.SetProjection(on); }
    void ToggleProjection() { projection_.ToggleProjection(); }
    void ForwardMouse(int x, int y, ShiftState shift, ProjectedMessage msg) {
        projection_.ForwardMouse(x, y, shift, msg);
    }
    void ViewToLayer(int& x, int& y) const { surface_.ViewToLayer(x, y); }
    void FormDeactivate() { hotKeys_.FormDeactivate(); }  // another window became active
    // The screen pixel the colour readout reads for a pointer at `cursor` while the
    // view samples from `src`; nullopt where the view shows no screen pixel.
    void TellTakenHotKeys();
    // Sizes the sampled area for the zoom and gives its top-left on the screen.
    IntPoint SampledAreaOrigin(IntPoint cursor);
    // The view point under the pointer when the view is pinned and the pointer is on it.
    std::optional<IntPoint> PointerViewPoint(const RenderParams& frame);
    std::optional<IntPoint> PointerScreenPixel(const RenderParams& frame);
    void ReadPointerColor(const Image& capture, const RenderParams& frame, bool pointerOnWindow);

    // --- state ------------------------------------------------------------------------
    const ViewState& State() const { return s_; }
    // Test arrangement only: takes a whole view state that would need many steps of
    // input to reach, with no side effect (nothing drawn, saved or sent). The program
    // itself changes its state only through the operations above.
    void Arrange(const ViewState& state) { s_ = state; }
    Image& LayerImage() { return surface_.Pixels(); }
    const Projection& Projector() const { return projection_; }
    CommandStates MenuStates() const;
    bool MenuChecked(CommandId id) const override { return MenuStates().Checked(id); }
    bool MenuEnabled(CommandId id) const { return MenuStates().Enabled(id); }
    int SamplingInterval() const;  // the capture timer's interval in use
    // Hot keys that could not be registered, for the one-time message.
    bool HotKeysRegistered() const { return hotKeys_.Registered(); }

private:
    // Shows the states of MenuStates() in the menu, passing on those that changed.
    void RefreshMenuStates();
    void RunHotKeyVariant(CommandId id, HotKeyVariant variant);
    void RunAction(const MenuEntry& row);  // a command its table row describes
    void RunOwnCommand(CommandId id);      // a command with code of its own
    void RunModal(void (TfrmCap::*body)());
    void SetGraph(CommandId item, int unit);
    void GraphFlex();
    void SampRate();
    void FlexRotateDialog();
    void ShowPointerColor();
    void OptionsDialog();
    void ShowHelp(CommandId which);  // the help file (Help2) or the online help (Help1)

    IPlatform& p_;
    IShellServices* shell_ = nullptr;
    int dpi_ = kDesignDpi;
    TIniManager& ini_;
    ViewState s_;
    // Each takes what it needs of the above; declared after it, in the order they use each other.
    SurfaceLayer surface_{s_, p_};
    Projection projection_{s_, p_, *this, surface_};
    AreaPick areaPick_{s_, p_, *this, ini_, projection_};
    ImageOutput imageOutput_{s_, p_};
    // The last frame shown and what it was made of: a tick whose capture and
    // inputs are all the same renders and presents nothing.
    PresentedFrame presented_;
    std::optional<CommandStates> shownStates_;  // what the menu shows; none before the first refresh
    HotKeys hotKeys_;
    int wheelRest_ = 0;                          // part of a notch left over from fine-grained wheels
    std::optional<std::uint32_t> pointerColor_;  // 0x00RRGGBB under the pointer
    std::string pointerColorText_;
    bool pointerColorShown_ = false;
    bool menuLoop_ = false;
};

}  // namespace ocu
