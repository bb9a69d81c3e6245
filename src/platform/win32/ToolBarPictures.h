#pragma once
// The pictures of the tool bar buttons, 16 x 16 at 96 dpi, drawn with GDI at the
// size the window's DPI asks for, so that they stay crisp at any scale and need no
// binary resource.
#include <windows.h>

#include "mainwindow/ToolPictures.h"
#include "platform/win32/Handles.h"

namespace ocu::win {

inline constexpr int kPictureSize = kToolPictureSize;
inline constexpr COLORREF kPictureMask = RGB(255, 0, 255);

// One picture per button of MainToolBar(), in its order, in a masked image list of
// `size` x `size` pictures.
unique_himagelist MakeToolBarPictures(int size = kPictureSize);
// Draws the picture of one command into dc at (x, y) in the 16 x 16 grid of the
// dc's logical units; the background is left alone.
void DrawToolPicture(HDC dc, int x, int y, CommandId id);

}  // namespace ocu::win
