#pragma once
// The 16 x 16 pictures of the tool bar buttons, drawn with GDI at start-up so
// that they stay crisp and need no binary resource.
#include <windows.h>

#include "mainwindow/Commands.h"
#include "platform/win32/Handles.h"

namespace ocu::win {

inline constexpr int kPictureSize = 16;
inline constexpr COLORREF kPictureMask = RGB(255, 0, 255);

// One picture per button of MainToolBar(), in its order, in a masked image list.
unique_himagelist MakeToolBarPictures();
// Draws the picture of one command into dc at (x, y); the background is left alone.
void DrawToolPicture(HDC dc, int x, int y, CommandId id);

}  // namespace ocu::win
