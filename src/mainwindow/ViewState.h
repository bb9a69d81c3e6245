#pragma once
// The one record of the view's state, shared by every routine of the main window.
#include <cstdint>
#include <string>

#include "base/Geometry.h"
#include "mainwindow/ports/Platform.h"

namespace ocu {

struct ViewState {
    float ZoomRate = 1.0f;
    int ViewLeft = 0;
    int ViewTop = 61;
    int ViewWidth = 0;
    int ViewHeight = 0;
    int SrcWidth = 0;
    int SrcHeight = 0;
    bool FlipH = false;
    bool FlipV = false;
    int RotateAngle = 0;  // tenths of a degree, counter-clockwise, never wrapped
    int RotateStep = 10;
    float ZoomStep = 0.1f;
    int RepeatAction = 0;  // 110 zoom, 220 rotate
    float RepeatZoomDelta = 0.0f;
    int RepeatRotateDelta = 0;
    bool InvertColors = false;
    bool CenterLineVisible = false;
    bool GridVisible = false;
    int GridUnit = 60;
    bool FixView = false;
    bool ProjectionMode = false;
    int AreaLeft = 0;
    int AreaTop = 0;
    WindowHandle TargetWnd = 0;
    IntRect TargetRect;
    int TargetOffsetX = 0;
    int TargetOffsetY = 0;
    std::string TargetText;   // UTF-8, at most 70 bytes
    std::string TargetClass;  // UTF-8, at most 70 bytes
    bool Picking = false;
    bool PickForFixView = false;
    bool SurfaceVisible = false;
    bool SurfaceDrawMode = false;
    bool Dragging = false;
    int DragOffsetX = 0;
    int DragOffsetY = 0;
    bool HotKeysRegistered = false;
    bool CapturePaused = false;
};

}  // namespace ocu
