#include "platform/qt/StatusBarQt.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

#include "mainwindow/ViewLayout.h"

namespace ocu::qt {
namespace {

constexpr int kPanelGap = 2;

bool Whole(qreal v) { return std::abs(v - std::round(v)) < 1e-6; }

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
    placed_.resize(designWidths_.size());
    LayOut();
}

StatusBarQt::~StatusBarQt() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

void StatusBarQt::PutThrough(XcbWindowTarget* target) {
    target_ = target;
    Unplace();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (target_ != nullptr) app->installNativeEventFilter(this);
        else app->removeNativeEventFilter(this);
    }
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
        for (char digit = '1'; digit <= '9'; ++digit)
            digitsEven_ = digitsEven_ && metrics.horizontalAdvance(QLatin1Char(digit)) == zero;
    }
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && !(digitsEven_ && a[i].isDigit() && b[i].isDigit())) return false;
    return true;
}

void StatusBarQt::SetText(int panel, const QString& text) {
    if (panel < 0 || panel >= PanelCount() || texts_[static_cast<std::size_t>(panel)] == text) return;
    const QString was = std::exchange(texts_[static_cast<std::size_t>(panel)], text);
    // Digits put in place of digits as wide as all the others: the line is as wide as it was.
    if (PutDigits(panel)) return;
    // The text held fits its panel already; the last panel never grows.
    const bool measure = panel + 1 < PanelCount() && !AsWide(was, text);
    if (measure && panels_.Fit(panel, QFontMetrics(font()).horizontalAdvance(text))) Relay();
    else update(PanelRect(panel));
}

// The panels move or change: none is where it was painted until it is painted again.
void StatusBarQt::Relay() {
    Unplace();
    update();
}

void StatusBarQt::Unplace() {
    for (auto& p : placed_) p.reset();
}

void StatusBarQt::Place(int panel, QPoint boxTopLeft) {
    auto& placed = placed_[static_cast<std::size_t>(panel)];
    placed.reset();
    // The bar may have an X window of its own (a native view makes its siblings native).
    QWidget* native = internalWinId() != 0 ? this : nativeParentWidget();
    if (target_ == nullptr || native == nullptr || native->internalWinId() == 0) return;
    const QPointF at = QPointF(mapTo(native, boxTopLeft)) * devicePixelRatioF();
    if (!Whole(at.x()) || !Whole(at.y())) return;
    TextCells& cells = cells_[static_cast<std::size_t>(panel)];
    cells.Show(texts_[static_cast<std::size_t>(panel)]);
    if (cells.Shown().isNull()) return;
    placedWindow_ = static_cast<xcb_window_t>(native->internalWinId());
    placed = at.toPoint();
}

bool StatusBarQt::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::Hide:
        case QEvent::ParentChange:
        case QEvent::WinIdChange:
        case QEvent::FontChange:
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
        case QEvent::ScreenChangeInternal:
            Unplace();
            break;
        default:
            break;
    }
    return QWidget::event(e);
}

bool StatusBarQt::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (placedWindow_ == 0 || type != "xcb_generic_event_t") return false;
    const auto* e = static_cast<const xcb_generic_event_t*>(message);
    if ((e->response_type & 0x7f) != XCB_EXPOSE || static_cast<const xcb_expose_event_t*>(message)->window != placedWindow_)
        return false;
    for (int i = 0; i < PanelCount(); ++i)
        if (placed_[static_cast<std::size_t>(i)]) update(PanelRect(i));
    return false;
}

// A text that only changed digits (the pointer's position, every tick) is shown by copying
// those digits into the line painted last and putting that part into the window on the
// program's own connection, past the toolkit's repaint and its backing store, which cost
// more than the magnified frame. The toolkit keeps what it painted; the panel is painted
// again whenever the toolkit would show that (an expose, a change of the bar).
bool StatusBarQt::PutDigits(int panel) {
    const auto i = static_cast<std::size_t>(panel);
    if (panel == swatchPanel_ || !placed_[i] || target_ == nullptr || !target_->For(placedWindow_)) return false;
    TextCells& cells = cells_[i];
    const QRect span = cells.Advance(texts_[i]);
    if (span.isEmpty()) return false;
    const QImage& line = cells.Shown();
    const QPoint into = *placed_[i] + span.topLeft();
    target_->Put(into.x(), into.y(), span.width(), span.height(), line.constScanLine(span.top()) + span.left() * 4,
                 static_cast<std::size_t>(line.bytesPerLine()));
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
    Relay();
}

void StatusBarQt::SetPanels(std::vector<int> panelWidths) {
    designWidths_ = std::move(panelWidths);
    texts_.resize(designWidths_.size());
    cells_.resize(designWidths_.size());
    placed_.resize(designWidths_.size());
    if (swatchPanel_ >= static_cast<int>(designWidths_.size())) {
        swatchPanel_ = -1;
        swatchColor_.reset();
    }
    LayOut();
    Relay();
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
            Place(i, inside.topLeft());
            continue;
        }
        placed_[static_cast<std::size_t>(i)].reset();
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
