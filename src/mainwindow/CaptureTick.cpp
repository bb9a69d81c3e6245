// The capture tick and the texts that describe the view.
#include <charconv>
#include <cstdio>
#include <string>
#include <exception>

#include "mainwindow/FrameParams.h"
#include "mainwindow/Texts.h"
#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewMath.h"
#include "pipeline/FramePipeline.h"

namespace ocu {
namespace {

// printf's "%4d" at a fraction of its cost: the pointer's position is written every tick.
void AppendPadded(std::string& out, int value, int width) {
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto length = static_cast<int>(end - digits);
    if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(digits, static_cast<std::size_t>(length));
}

void TellTakenHotKeys(HotKeys& keys, ViewState& s, DialogPort& dialogs) {
    const auto failed = keys.TakeFailureNotice();
    if (!failed) return;
    // Told from the tick rather than from inside window creation or activation,
    // where a modal box would re-enter the handlers that registered the keys.
    s.CapturePaused = true;
    dialogs.ShowMessage("次のホットキーは他のプログラムが使用中のため登録できませんでした。\n" + *failed, "ホットキー");
    s.CapturePaused = false;
}

// Sizes the sampled area for the zoom and gives its top-left on the screen.
IntPoint SampledAreaOrigin(ViewState& s, IntPoint cursor, ScreenPort& screen, InputPort& windows) {
    if (s.ZoomRate == 0.0f) s.ZoomRate = 1.0f;
    s.SrcWidth = TruncDiv(s.ViewWidth, s.ZoomRate);
    s.SrcHeight = TruncDiv(s.ViewHeight, s.ZoomRate);
    const IntPoint around = SampleOrigin(cursor, s.SrcWidth, s.SrcHeight, screen.DesktopRect());
    if (s.ProjectionMode && !s.FixView) s.TargetRect = windows.WindowRectOf(s.TargetWnd);
    return s.FixView || s.ProjectionMode ? IntPoint{s.AreaLeft, s.AreaTop} : around;
}

}  // namespace

void TfrmCap::timTimer() {
    if (s_.CapturePaused) return;
    projection_.Tick();
    hotKeys_.Tick();
    TellTakenHotKeys(hotKeys_, s_, p_);
    // Periodic work swallows its failures: the window keeps its last picture and
    // the next tick starts afresh.
    try {
        const IntPoint cursor = p_.CursorPos();
        const bool inWindow = p_.WindowRect().Contains(cursor);
        if (!s_.ProjectionMode && !s_.SurfaceDrawMode && !inWindow) {
            std::string text = "マウス座標(";
            AppendPadded(text, cursor.X, 4);
            text += ',';
            AppendPadded(text, cursor.Y, 4);
            text += ')';
            p_.SetStatusText(2, text);
        }
        if (s_.ProjectionMode && !p_.IsActiveWindow() && inWindow && p_.IsNormalState()) p_.ForceForeground();
        const IntPoint src = SampledAreaOrigin(s_, cursor, p_, p_);
        // A view squeezed to nothing by the bars has nothing to show.
        if (s_.ViewWidth <= 0 || s_.ViewHeight <= 0 || s_.SrcWidth <= 0 || s_.SrcHeight <= 0) return;
        Image* capture = p_.CaptureScreen(src.X, src.Y, s_.SrcWidth, s_.SrcHeight);
        Image* frame = capture != nullptr ? p_.FrameBuffer(s_.ViewWidth, s_.ViewHeight) : nullptr;
        if (frame == nullptr) return;
        RenderParams rp = FrameParams(s_, cursor, src);
        readout_.Read(*capture, rp, inWindow);  // before the layer is merged into the capture
        if (s_.SurfaceVisible) rp.SurfaceLayer = surface_.ForFrame(capture->Format());
        const IntPoint viewOrigin{s_.ViewLeft, s_.ViewTop};
        if (!presented_.NeedsRender(rp, viewOrigin, *capture)) return;
        RenderFrame(*capture, *frame, rp);
        p_.ShowFrame(s_.ViewLeft, s_.ViewTop, s_.ViewWidth, s_.ViewHeight);
        presented_.Presented(rp, viewOrigin);
    } catch (const std::exception&) {
    }
}

void TfrmCap::UpdateStatus() {
    std::string transform;
    if (s_.RotateAngle != 0) {
        transform = DecimalText(FloorTenths(s_.RotateAngle)) + std::string(text::kRotated);
    } else if (s_.FlipV) {
        transform = "反転(上下)";
    } else if (s_.FlipH) {
        transform = "反転(左右)";
    }
    std::string state;
    if (s_.Picking) {
        state = s_.PickForFixView ? "表示を固定する位置を選択してください：右クリックでキャンセル"
                                  : "投影先を選択してください：右クリックでキャンセル";
    } else if (s_.SurfaceDrawMode) {
        state = "表面レイヤ描き込みモードです";
    } else if (s_.ProjectionMode) {
        state = "表示固定 & 操作投影モードです";
    } else {
        state = "表示モード";
    }
    const std::string suffix = s_.ProjectionMode ? ":" + s_.TargetClass : std::string();
    const std::string eraser = s_.SurfaceDrawMode ? "Ctrl+ドラッグ：消しゴム" : "";
    const std::string layer = s_.SurfaceVisible ? "on" : "off";
    try {
        p_.SetStatusText(0, "表面レイヤ：" + layer);
        p_.SetStatusText(1, transform);
        p_.SetStatusText(3, eraser);
        char zoom[64];
        char angle[32];
        std::snprintf(zoom, sizeof zoom, "%2.1f", static_cast<double>(s_.ZoomRate));
        std::snprintf(angle, sizeof angle, "%3d", FloorTenths(s_.RotateAngle));
        p_.SetTitle(std::string("Lumivane Ocumira [倍率:") + zoom + "倍 回転:" + angle + "度 状態:" + state + "]" +
                    suffix);
    } catch (const std::exception&) {
    }
}

}  // namespace ocu
