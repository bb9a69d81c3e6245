#include "platform/qt/StatusBarQt.h"

#include <QBackingStore>
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
    // Whole-pixel glyph advances, as the system's status bars draw them: the digits then fill
    // cells of their own, which the fast redraw of the pointer's position copies.
    QFont f = font();
    f.setHintingPreference(QFont::PreferFullHinting);
    setFont(f);
    texts_.resize(designWidths_.size());
    cells_.resize(designWidths_.size());
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
    const QString was = held;
    held = text;
    if (measure && panels_.Fit(panel, QFontMetrics(font()).horizontalAdvance(text))) update();
    else if (!PutDigits(panel, was)) update(PanelRect(panel));
}

// A text that only changed digits (the pointer's position, every tick) is shown by drawing
// those digits into the window's backing store and putting that part on the screen, past
// the toolkit's repaint pass, which costs more than the magnified frame. The backing store
// then holds what the screen shows, so the toolkit's own repaints agree with it.
bool StatusBarQt::PutDigits(int panel, const QString& was) {
    const QString& text = texts_[static_cast<std::size_t>(panel)];
    // Only digits that turn into other digits: the cells cover nothing else.
    if (panel == swatchPanel_ || !isVisible() || !TextCells::SameShape(was, text)) return false;
    // The bar may have an X window of its own (a native view makes its siblings native):
    // the part is flushed into the window it lies in, the store being the top level's.
    QWidget* native = internalWinId() != 0 ? this : nativeParentWidget();
    QWindow* window = native != nullptr ? native->windowHandle() : nullptr;
    QBackingStore* store = backingStore();
    if (window == nullptr || !window->isExposed() || store == nullptr) return false;
    const QRect box = TextBox(panel);
    TextCells& cells = cells_[static_cast<std::size_t>(panel)];
    if (!cells.Ready(text, LookOf(box))) return false;
    const QPoint at = mapTo(this->window(), box.topLeft());
    const QRegion area(cells.Area(at, text, was));
    if (area.isEmpty()) return true;
    // Painted between the calls the toolkit paints between: the store then holds this part
    // as painted. The pixels are copied where the store is an image of the screen's pixels,
    // a painter costing most of the time otherwise.
    store->beginPaint(area);
    QPaintDevice* device = store->paintDevice();
    if (device == nullptr) {
        store->endPaint();
        return false;
    }
    auto* image = device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const bool copied = image != nullptr && cells.Copy(*image, at);
    if (!copied) {
        QPainter p(device);
        p.setClipRegion(area);
        cells.Draw(p, at, text, &was);
    }
    store->endPaint();
    // The part goes to the window in one request on the program's own connection; the store
    // still counts it as painted and sends it along with whatever the toolkit flushes next.
    const QPoint offset = native->mapTo(this->window(), QPoint(0, 0));
    const qreal ratio = devicePixelRatioF();
    const QRect pixels(QPointF(area.boundingRect().topLeft() * ratio).toPoint(),
                       QSizeF(area.boundingRect().size() * ratio).toSize());
    if (copied && target_ != nullptr && (pixels & image->rect()) == pixels && target_->For(static_cast<xcb_window_t>(native->winId()))) {
        const QPoint into = pixels.topLeft() - QPointF(offset * ratio).toPoint();
        target_->Put(into.x(), into.y(), pixels.width(), pixels.height(),
                     image->constScanLine(pixels.top()) + pixels.left() * 4, static_cast<std::size_t>(image->bytesPerLine()));
    } else {
        store->flush(area.translated(-offset), window, offset);
    }
    return true;
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
    cells_.resize(designWidths_.size());
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

// Where a panel without a colour square writes its text: inside the sunken edge, 3 in.
QRect StatusBarQt::TextBox(int panel) const { return PanelRect(panel).adjusted(1 + 3, 1, -1, -1); }

TextCells::Look StatusBarQt::LookOf(const QRect& box) const {
    return {box.size(), font(), palette().color(QPalette::WindowText),
            background_.isValid() ? background_ : palette().color(QPalette::Window), devicePixelRatioF()};
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
            inside = TextBox(i);
        }
        const QString& text = texts_[static_cast<std::size_t>(i)];
        TextCells& cells = cells_[static_cast<std::size_t>(i)];
        if (i != swatchPanel_ && !inside.isEmpty() && cells.Ready(text, LookOf(inside))) {
            cells.Draw(p, inside.topLeft(), text);
            continue;
        }
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
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
