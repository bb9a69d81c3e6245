#include "mainwindow/DialogLayout.h"

#include <algorithm>

#include "mainwindow/ViewLayout.h"

namespace ocu {
namespace {

// At 96 dpi.
constexpr int kMargin = 8;
constexpr int kClientWidth = 300;
constexpr int kButtonWidth = 75;

IntRect Box(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

}  // namespace

IntPoint CentredOn(const IntRect& around, IntPoint size) {
    return {around.Left + (around.Width() - size.X) / 2, around.Top + (around.Height() - size.Y) / 2};
}

int InputBoxPromptWidth(int dpi) { return ScaleForDpi(kClientWidth, dpi) - 2 * ScaleForDpi(kMargin, dpi); }

InputBoxLayout LayoutInputBox(int dpi, int promptHeight, int lineHeight) {
    const auto px = [dpi](int v) { return ScaleForDpi(v, dpi); };
    const int margin = px(kMargin), clientWidth = px(kClientWidth), buttonWidth = px(kButtonWidth);
    InputBoxLayout l;
    int y = margin;
    l.Prompt = Box(margin, y, clientWidth - 2 * margin, promptHeight);
    y += promptHeight + px(6);
    const int editHeight = lineHeight + px(8);
    l.Edit = Box(margin, y, clientWidth - 2 * margin, editHeight);
    y += editHeight + px(12);
    const int buttonHeight = std::max(px(25), lineHeight + px(10));
    l.Ok = Box(clientWidth / 2 - buttonWidth - px(4), y, buttonWidth, buttonHeight);
    l.Cancel = Box(clientWidth / 2 + px(4), y, buttonWidth, buttonHeight);
    l.Client = {clientWidth, y + buttonHeight + margin};
    return l;
}

}  // namespace ocu
