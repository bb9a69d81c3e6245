#pragma once
// The surface layer: freehand strokes kept in the coordinates of the view before
// mirroring and rotation, so they turn and mirror with the picture.
#include <cstdint>

#include "image/Image.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/ScreenPort.h"

namespace ocu {

class SurfaceLayer {
public:
    SurfaceLayer(ViewState& state, ScreenPort& screen) : s_(state), screen_(screen) {}

    void Create();   // with the window: an empty layer in the screen's layer format
    void Release();  // with the window's end
    // The view's size changed; a created layer follows it.
    void ViewResized(int width, int height);
    void SizeSurfaceLayer(int width, int height);
    void ClearSurfaceLayer();
    void SetSurfaceDrawMode(bool on);
    // A view point to the layer's point: the mirroring and rotation undone.
    void ViewToLayer(int& x, int& y) const;

    // Strokes, from the main window's mouse handlers in client coordinates.
    void StrokeStart(int x, int y);
    void StrokeMove(ShiftState shift, int x, int y);
    void StrokeEnd() { stroking_ = false; }
    bool Stroking() const { return stroking_; }

    // The layer for a frame captured in `captureFormat`, grown to the view first;
    // nullptr when it cannot be had in the frame's layer format.
    const Image* ForFrame(PixelFormat captureFormat);
    Image& Pixels() { return image_; }

private:
    ViewState& s_;
    ScreenPort& screen_;
    Image image_;
    bool created_ = false;
    bool stroking_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    std::uint32_t color_ = 0xFF0000;  // 0x00BBGGRR: blue
    int penWidth_ = 1;
};

}  // namespace ocu
