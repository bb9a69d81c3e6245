#include "mainwindow/StatusPanels.h"

#include <algorithm>

#include "mainwindow/ViewLayout.h"

namespace ocu {
namespace {

// Room a panel needs beside its text at 96 dpi: its borders and the control's margins.
constexpr int kPanelPadding = 10;

}  // namespace

void StatusPanels::LayOut(const std::vector<int>& designWidths, int dpi, const std::vector<int>& textWidths) {
    dpi_ = dpi;
    widths_.clear();
    for (int w : designWidths) widths_.push_back(ScaleForDpi(w, dpi));
    for (std::size_t i = 0; i < textWidths.size() && i < widths_.size(); ++i)
        if (textWidths[i] > 0) Fit(static_cast<int>(i), textWidths[i]);
}

bool StatusPanels::Fit(int panel, int textWidth) {
    if (panel < 0 || panel + 1 >= Count()) return false;
    const int needed = textWidth + ScaleForDpi(kPanelPadding, dpi_);
    int& width = widths_[static_cast<std::size_t>(panel)];
    if (needed <= width) return false;
    width = needed;
    return true;
}

int StatusPanels::Width(int panel) const {
    return panel >= 0 && panel < Count() ? widths_[static_cast<std::size_t>(panel)] : 0;
}

std::vector<int> StatusPanels::Edges() const {
    std::vector<int> edges;
    int right = 0;
    for (int w : widths_) edges.push_back(right += w);
    if (!edges.empty()) edges.back() = -1;
    return edges;
}

std::pair<int, int> StatusPanels::Span(int panel, int gap, int barRight, int end) const {
    int left = 0, right = 0;
    for (int i = 0; i <= panel && i < Count(); ++i) {
        left = i == 0 ? 0 : right + gap;
        right += widths_[static_cast<std::size_t>(i)];
    }
    if (panel + 1 == Count()) right = barRight;
    return {std::min(left, end), std::min(right, end)};
}

}  // namespace ocu
