#pragma once
// The main window's behaviour. The Win32 window procedure turns each message into
// one call here; everything the behaviour needs from the system goes through the
// port (IPlatform). The member names are the program's own handler names.
#include <map>
#include <string>
#include <string_view>

#include "pipeline/FramePipeline.h"
#include "image/Image.h"
#include "mainwindow/Commands.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/Platform.h"
#include "dialogs/ShellServices.h"
#include "mainwindow/ports/ImageOutput.h"

namespace ocu {

// The address of the online help page, shown in the version dialog too.
inline constexpr const char* kOnlineHelpUrl = "https://lumivane.example/help/";
inline constexpr const char* kHelpFileName = "Ocumira.hlp";
inline constexpr const char* kShortcutName = "Ocumira";

class TIniManager;

class TfrmCap {
public:
    TfrmCap(IPlatform& platform, TIniManager& settings);
    // Image output and the shell; without them those commands do nothing.
    void AttachServices(IImageOutput* output, IShellServices* shell) {
        output_ = output;
        shell_ = shell;
    }

    // --- life cycle (called by the Win32 window in this order) ------------------
    void CreateWnd();   // the platform window exists
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
    void OnCommand(CommandId id);   // a menu entry chosen, or a tool bar button clicked
    void OnShortcut(CommandId id);  // an accelerator: the menu's open handler runs first
    void OnToolButtonDown(CommandId id);
    void OnToolButtonUp(CommandId id);
    void FormMouseDown(MouseButton button, ShiftState shift, int x, int y);
    void FormMouseMove(ShiftState shift, int x, int y);
    void FormMouseUp(MouseButton button, ShiftState shift, int x, int y);
    // A wheel turn over the client point (x, y); delta in WHEEL_DELTA units (120 a notch).
    void FormMouseWheel(ShiftState shift, int delta, int x, int y);
    void OnClientResized(int clientWidth, int clientHeight);

    // --- operations ----------------------------------------------------------------
    void ChgWindowSize(int width, int height);
    void switchTopMost(bool on);
    void UpdateStatus();
    void SetZoomRate(float rate);
    bool flipHV(int mode);
    void rotateAngle();
    void mFlexFlipClick();
    void SetFixView(bool enable, int x, int y);
    void MoveFixArea(std::string_view direction);
    void BeginPick(bool forFixView);
    void SetProjection(bool on);
    void ToggleProjection();
    WindowHandle WindowAtPoint(IntPoint p);
    void ForwardMouse(int x, int y, ShiftState shift, unsigned msg);
    void SetSurfaceDrawMode(bool on);
    void ViewToLayer(int& x, int& y) const;
    void RegisterHotKeys();
    void UnregisterHotKeys();
    void FormDeactivate();  // another window became active
    // Hot keys held all the time (true), or only while this window is active.
    void SetHotKeysAlways(bool always);
    // The screen pixel the colour readout reads for a pointer at `cursor` while the
    // view samples from `src`; nullopt where the view shows no screen pixel.
    std::optional<IntPoint> PointerScreenPixel(IntPoint cursor, IntPoint src);
    void ReadPointerColor(const Image& capture, IntPoint src, IntPoint cursor);
    const std::string& PointerColorText() const { return pointerColorText_; }

    // --- state ------------------------------------------------------------------------
    const ViewState& State() const { return s_; }
    // Test arrangement only: takes a whole view state that would need many steps of
    // input to reach, with no side effect (nothing drawn, saved or sent). The program
    // itself changes its state only through the operations above.
    void Arrange(const ViewState& state) { s_ = state; }
    Image& SurfaceLayer() { return surfaceLayer_; }
    bool MenuChecked(CommandId id) const;
    bool MenuEnabled(CommandId id) const;
    int SamplingInterval() const;  // the capture timer's interval in use
    // Hot keys that could not be registered, for the one-time message.
    const std::string& HotKeyFailures() const { return hotKeyFailures_; }

private:
    void SetChecked(CommandId id, bool checked);
    void SetEnabled(CommandId id, bool enabled);
    void RunModal(void (TfrmCap::*body)());
    void EndPick(MouseButton button);
    void PickMove();
    void TargetPickMove();
    void StrokeStart(int x, int y);
    void StrokeMove(ShiftState shift, int x, int y);
    void PushAreaInside();
    void RecomputeTargetOffsets();
    void SetGraph(CommandId item, int unit);
    void GraphFlex();
    void SampRate();
    void FlexRotateDialog();
    void ClearSurfaceLayer();
    void SizeSurfaceLayer(int width, int height);
    void OnOtherCommand(CommandId id);  // image output, dialogs and help
    bool OnAddedCommand(CommandId id);  // PNG and the colour readout; false if not one of them
    void SavePngFile();
    void ShowPointerColor();
    std::optional<Image> Snapshot();
    void SaveViewFile();
    void CopyViewToClipboard();
    void PrintView();
    void OptionsDialog();
    void LeaveTopMostForHelp();

    IPlatform& p_;
    IImageOutput* output_ = nullptr;
    IShellServices* shell_ = nullptr;
    TIniManager& ini_;
    ViewState s_;
    Image surfaceLayer_;
    // The last frame shown and what it was made of: a tick whose capture and
    // inputs are all the same renders and presents nothing.
    Image shownCapture_;
    RenderParams shownParams_;
    bool frameShown_ = false;
    int shownLeft_ = 0, shownTop_ = 0;
    std::map<CommandId, bool> checked_;
    std::map<CommandId, bool> enabled_;
    // Ticks left during which pointer moves are not sent to a target that did not
    // answer: each unanswered send waits for its time-out, and a stream of them
    // would keep the capture timer from ever running.
    int targetSilentTicks_ = 0;
    std::string hotKeyFailures_;
    bool hotKeyFailureShown_ = false;
    int wheelRest_ = 0;  // part of a notch left over from fine-grained wheels
    bool windowActive_ = false;
    std::optional<std::uint32_t> pointerColor_;  // 0x00RRGGBB under the pointer
    std::string pointerColorText_;
    bool pointerColorShown_ = false;
};

}  // namespace ocu
