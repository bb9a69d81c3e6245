#pragma once
// The window class of this program's main window. The edge registers it under this
// name, and the projection refuses a target of this class: it would be the view itself.
namespace ocu {
inline constexpr char kMainWindowClassName[] = "TfrmCap";
}
