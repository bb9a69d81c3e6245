#pragma once
// The one record of the view's state, shared by every routine of the main window.
#include <cstdint>
#include <string>

#include "base/Geometry.h"
#include "mainwindow/Commands.h"
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
    // Turned by an angle (指定角度回転 carries its mark); the tool bar's reset of the
    // angle to 0 leaves it on, and the next 指定角度回転 then only clears it.
    bool Rotated = false;
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
    // 操作投影 was turned on from its menu entry and the pick of its target has not
    // ended: the entry shows its mark meanwhile.
    bool ProjectionPickPending = false;
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
    bool CapturePaused = false;
    bool TopMost = false;
    // The top-level menu opened last; its open handler decides some entries' states.
    CommandId OpenedMenu = CommandId::None;
};

}  // namespace ocu
