#pragma once
// The one record of the view's state, shared by every routine of the main window.
#include <cstdint>
#include <string>

#include "base/Geometry.h"
#include "mainwindow/ViewLayout.h"
#include "mainwindow/ports/Platform.h"

namespace ocu {

struct ViewState {
    float ZoomRate = 1.0f;
    int ViewLeft = 0;
    int ViewTop = kViewTop;
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
    bool FwdLeftDown = false;
    bool FwdRightDown = false;
    bool Picking = false;
    bool PickForFixView = false;
    IntRect PickRect;
    bool PickBackupValid = false;
    WindowHandle PickWnd = 0;
    bool SurfaceLayerCreated = false;
    bool SurfaceVisible = false;
    bool SurfaceDrawMode = false;
    bool Stroking = false;
    int StrokeLastX = 0;
    int StrokeLastY = 0;
    std::uint32_t SurfaceColor = 0xFF0000;  // 0x00BBGGRR: blue
    int SurfacePenWidth = 1;
    bool Dragging = false;
    int DragOffsetX = 0;
    int DragOffsetY = 0;
    bool HotKeysRegistered = false;
    bool CapturePaused = false;
};

}  // namespace ocu
