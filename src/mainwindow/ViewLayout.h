#pragma once
// Where the view sits in the main window's client area.

namespace ocu {

// The view's top edge: the info bar and the tool bar above it end here, so no row of
// the view hides under them. The view runs from here down to the status bar.
inline constexpr int kViewTop = 61;

}  // namespace ocu
