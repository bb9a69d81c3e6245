#pragma once
// The status bar's panels along the bar. Their widths are given in pixels at 96 dpi
// and laid out for the bar's DPI; every panel but the last (which runs to the bar's
// end) grows to hold its text and stays that wide: the widths were made for one
// font, and a wider fallback font must not cut a text off mid-word.
#include <utility>
#include <vector>

namespace ocu {

class StatusPanels {
public:
    // Panels of these widths (at 96 dpi) at `dpi`, each grown to its text's width
    // in `textWidths` (0 or missing: no text).
    void LayOut(const std::vector<int>& designWidths, int dpi, const std::vector<int>& textWidths = {});
    // The panel now holds a text `textWidth` wide: true when it had to grow.
    bool Fit(int panel, int textWidth);
    int Count() const { return static_cast<int>(widths_.size()); }
    int Width(int panel) const;
    // The bar's parts: each panel's right edge, the last -1 (to the bar's end).
    std::vector<int> Edges() const;
    // Left and right of a panel, panels `gap` apart, the last running to `barRight`,
    // none past `end` (where the size grip begins).
    std::pair<int, int> Span(int panel, int gap, int barRight, int end) const;

private:
    std::vector<int> widths_;
    int dpi_ = 96;
};

}  // namespace ocu
