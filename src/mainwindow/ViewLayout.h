#pragma once
// Where the view sits in the main window's client area, and how the bars above and
// below it grow with the window's DPI. The view itself stays in screen pixels: one
// screen pixel is one source pixel at any DPI; only the bars and their texts grow.

namespace ocu {

// The DPI the layout was made for: at it every size below is the one in pixels.
inline constexpr int kDesignDpi = 96;

// The view's top edge at 96 dpi: the info bar and the tool bar above it end here, so
// no row of the view hides under them. The view runs from here down to the status bar.
inline constexpr int kViewTop = 61;
inline constexpr int kInfoBarHeight = 17;
inline constexpr int kStatusBarHeight = 16;

// `value` pixels at 96 dpi, in pixels at `dpi`: value * dpi / 96 rounded to the
// nearest, halves away from zero, as the system's MulDiv rounds, so that sizes the
// system scales itself and ours agree. A DPI the system cannot mean (zero, negative)
// is taken as 96 rather than collapsing the layout to nothing.
constexpr int ScaleForDpi(int value, int dpi) {
    if (dpi <= 0) return value;
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

// The bands of the client area at one DPI, top to bottom.
struct BarLayout {
    int InfoBarHeight;
    int ToolBarTop;
    int ToolBarHeight;
    int ViewTop;
    int StatusBarHeight;  // what the bar is given; the view follows the height it really has
};

// The view's top is scaled as one length, not as the sum of two rounded bars, so it
// is the one number a reader of the settings or a screenshot can predict.
constexpr BarLayout BarLayoutFor(int dpi) {
    const int infoBar = ScaleForDpi(kInfoBarHeight, dpi);
    const int viewTop = ScaleForDpi(kViewTop, dpi);
    return {infoBar, infoBar, viewTop - infoBar, viewTop, ScaleForDpi(kStatusBarHeight, dpi)};
}

}  // namespace ocu
