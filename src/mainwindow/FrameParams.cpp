#include "mainwindow/FrameParams.h"

namespace ocu {

RenderParams FrameParams(const ViewState& s, IntPoint cursor, IntPoint src) {
    RenderParams rp;
    rp.ViewWidth = s.ViewWidth;
    rp.ViewHeight = s.ViewHeight;
    rp.SrcWidth = s.SrcWidth;
    rp.SrcHeight = s.SrcHeight;
    rp.ZoomRate = s.ZoomRate;
    rp.FlipH = s.FlipH;
    rp.FlipV = s.FlipV;
    rp.RotateAngle = s.RotateAngle;
    rp.InvertColors = s.InvertColors;
    rp.CenterLineVisible = s.CenterLineVisible;
    rp.GridVisible = s.GridVisible;
    rp.GridUnit = s.GridUnit;
    rp.ProjectionMode = s.ProjectionMode;
    rp.SurfaceDrawMode = s.SurfaceDrawMode;
    rp.CursorX = cursor.X;
    rp.CursorY = cursor.Y;
    rp.SrcX = src.X;
    rp.SrcY = src.Y;
    return rp;
}

}  // namespace ocu
