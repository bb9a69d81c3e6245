#include "platform/qt/StatusBarQt.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "mainwindow/ViewLayout.h"

namespace ocu::qt {
namespace {

constexpr int kPanelGap = 2;

void SunkenEdge(QPainter& p, const QRect& r) {
    p.setPen(QColor(128, 128, 128));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(255, 255, 255));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

StatusBarQt::StatusBarQt(QWidget* parent, std::vector<int> panelWidths, QColor background, bool sizeGrip)
    : QWidget(parent), designWidths_(std::move(panelWidths)), background_(background), sizeGrip_(sizeGrip) {
    // Every pixel is painted here: the view under the bar is not painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    texts_.resize(designWidths_.size());
    LayOut();
}

void StatusBarQt::LayOut() {
    std::vector<int> textWidths;
    const QFontMetrics metrics(font());
    for (const QString& t : texts_) textWidths.push_back(t.isEmpty() ? 0 : metrics.horizontalAdvance(t));
    panels_.LayOut(designWidths_, kDesignDpi, textWidths);
}

// A text that differs from another only where both have digits is as wide when the font's
// digits are: the pointer's position, set on every tick, is not measured again each time.
bool StatusBarQt::AsWide(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    if (!digitsFont_ || *digitsFont_ != font()) {
        digitsFont_ = font();
        const QFontMetrics metrics(*digitsFont_);
        const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
        digitsEven_ = true;
        for (char d = '1'; d <= '9'; ++d)
            digitsEven_ = digitsEven_ && metrics.horizontalAdvance(QLatin1Char(d)) == zero;
    }
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && !(digitsEven_ && a[i].isDigit() && b[i].isDigit())) return false;
    return true;
}

void StatusBarQt::SetText(int panel, const QString& text) {
    if (panel < 0 || panel >= PanelCount() || texts_[static_cast<std::size_t>(panel)] == text) return;
    QString& held = texts_[static_cast<std::size_t>(panel)];
    // The text held fits its panel already; the last panel never grows.
    const bool measure = panel + 1 < PanelCount() && !AsWide(held, text);
    held = text;
    if (measure && panels_.Fit(panel, QFontMetrics(font()).horizontalAdvance(text))) update();
    else update(PanelRect(panel));
}

QString StatusBarQt::Text(int panel) const {
    return panel >= 0 && panel < PanelCount() ? texts_[static_cast<std::size_t>(panel)] : QString();
}

void StatusBarQt::SetSwatchText(int panel, std::optional<QColor> color, const QString& text) {
    if (panel < 0 || panel >= PanelCount()) return;
    swatchPanel_ = panel;
    swatchColor_ = color;
    texts_[static_cast<std::size_t>(panel)] = text;
    update();
}

void StatusBarQt::SetPanels(std::vector<int> panelWidths) {
    designWidths_ = std::move(panelWidths);
    texts_.resize(designWidths_.size());
    if (swatchPanel_ >= static_cast<int>(designWidths_.size())) {
        swatchPanel_ = -1;
        swatchColor_.reset();
    }
    LayOut();
    update();
}

int StatusBarQt::GripSide() const { return sizeGrip_ ? std::min(16, height()) : 0; }

QRect StatusBarQt::PanelRect(int panel) const {
    const auto [left, right] = panels_.Span(panel, kPanelGap, width(), width() - GripSide());
    return right > left ? QRect(left, 0, right - left, height()) : QRect();
}

// Only the panels the update covers are drawn: a text laid out for nothing costs more
// than the pixels.
void StatusBarQt::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(rect(), background_.isValid() ? background_ : palette().color(QPalette::Window));
    for (int i = 0; i < PanelCount(); ++i) {
        const QRect part = PanelRect(i);
        if (part.isEmpty() || !e->region().intersects(part)) continue;
        SunkenEdge(p, part.adjusted(0, 0, -1, -1));
        QRect inside = part.adjusted(1, 1, -1, -1);
        if (i == swatchPanel_) {
            const int inset = 2;
            const int side = std::max(0, inside.height() - 2 * inset);
            if (swatchColor_ && side > 0) {
                const QRect square(inside.left() + inset, inside.top() + inset, side, side);
                p.fillRect(square, *swatchColor_);
                p.setPen(Qt::black);
                p.drawRect(square.adjusted(0, 0, -1, -1));
            }
            inside.setLeft(inside.left() + side + 3 * inset);
        } else {
            inside.setLeft(inside.left() + 3);
        }
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, texts_[static_cast<std::size_t>(i)]);
    }
    if (sizeGrip_) {
        // The classic grip's ridges in the corner.
        const int side = GripSide();
        for (int k = 0; k < 3; ++k) {
            const int off = 4 * k + 3;
            p.setPen(QColor(255, 255, 255));
            p.drawLine(width() - off - 1, height() - 1, width() - 1, height() - off - 1);
            p.setPen(QColor(128, 128, 128));
            p.drawLine(width() - off, height() - 1, width() - 1, height() - off);
            p.drawLine(width() - off + 1, height() - 1, width() - 1, height() - off + 1);
        }
        (void)side;
    }
}

void StatusBarQt::mousePressEvent(QMouseEvent* e) {
    // The grip sizes the window, as the system's grip does.
    if (sizeGrip_ && e->button() == Qt::LeftButton && e->position().x() >= width() - GripSide()) {
        if (QWindow* w = window()->windowHandle()) w->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        return;
    }
    QWidget::mousePressEvent(e);
}

}  // namespace ocu::qt
