#include "platform/qt/ViewWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>
#include <optional>

namespace ocu::qt {
namespace {

std::optional<MouseButton> ButtonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
    }
}

}  // namespace

ShiftState ShiftOf(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, bool doubleClick) {
    ShiftState s;
    s.Shift = keys.testFlag(Qt::ShiftModifier);
    s.Ctrl = keys.testFlag(Qt::ControlModifier);
    s.Alt = keys.testFlag(Qt::AltModifier);
    s.Left = buttons.testFlag(Qt::LeftButton);
    s.Right = buttons.testFlag(Qt::RightButton);
    s.Middle = buttons.testFlag(Qt::MiddleButton);
    s.Double = doubleClick;
    return s;
}

ViewWidget::ViewWidget(QWidget* parent, Handlers handlers) : QWidget(parent), h_(std::move(handlers)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ViewWidget::SetFrame(const QImage& frame, QRect where) {
    const QRect old = Logical(where_);
    frame_ = frame;
    where_ = where;
    update(Logical(where_).united(old));
}

void ViewWidget::FramePutDirectly(const QImage& frame, QRect where) {
    const QRect old = Logical(where_);
    frame_ = frame;
    where_ = where;
    // The server puts only the frame: when it first comes or moves, what lies round it (the
    // rows it shares with the bars at a fractional scale among them) is painted here once.
    if (Logical(where_) != old) update(QRegion(rect()) - Inside(where_));
    if (!exposeWatched_ && windowHandle() != nullptr) {
        windowHandle()->installEventFilter(this);
        exposeWatched_ = true;
    }
}

// Qt's own copy of the window's pixels holds an older frame than the one put there: an
// uncovered part is painted afresh from the frame instead of copied from it.
bool ViewWidget::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Expose && !where_.isEmpty()) update(Logical(where_));
    return QWidget::eventFilter(watched, e);
}

QRect ViewWidget::Logical(QRect pixels) const {
    const double ratio = devicePixelRatioF();
    return QRectF(pixels.left() / ratio, pixels.top() / ratio, pixels.width() / ratio, pixels.height() / ratio)
        .toAlignedRect();
}

QRect ViewWidget::Inside(QRect pixels) const {
    const double ratio = devicePixelRatioF();
    const auto in = [ratio](int from, int length) {
        const int first = static_cast<int>(std::ceil(from / ratio));
        return std::pair{first, static_cast<int>(std::floor((from + length) / ratio)) - first};
    };
    const auto [x, w] = in(pixels.left(), pixels.width());
    const auto [y, h] = in(pixels.top(), pixels.height());
    return {x, y, w, h};
}

QPoint ViewWidget::ScreenPixels(QPointF logical) const {
    const double ratio = devicePixelRatioF();
    return {static_cast<int>(std::floor(logical.x() * ratio)), static_cast<int>(std::floor(logical.y() * ratio))};
}

// The frame covers most of the area on every tick: only what lies outside it is filled,
// so no pixel is painted twice. At a fractional scale the frame's edges fall inside Qt's
// units: the row or column it shares with what is around is filled first, then drawn over.
void ViewWidget::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const double ratio = devicePixelRatioF();
    const bool framed = !frame_.isNull() && !where_.isEmpty();
    QRegion rest = e->region();
    if (framed) rest -= Inside(where_);
    const QColor face = palette().color(QPalette::Window);
    for (const QRect& r : rest) p.fillRect(r, face);
    if (framed && barsGround_.isValid()) {
        p.setClipRegion(rest);
        const double bottom = (where_.top() + where_.height()) / ratio;
        p.fillRect(QRectF(0, 0, width(), where_.top() / ratio), barsGround_);
        p.fillRect(QRectF(0, bottom, width(), height() - bottom), barsGround_);
        p.setClipping(false);
    }
    if (framed) p.drawImage(QPointF(where_.left() / ratio, where_.top() / ratio), frame_);
}

void ViewWidget::mousePressEvent(QMouseEvent* e) {
    const auto b = ButtonOf(e->button());
    const QPoint at = ScreenPixels(e->position());
    if (b && h_.Down) h_.Down(*b, ShiftOf(e->modifiers(), e->buttons(), false), at.x(), at.y());
}

void ViewWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    const auto b = ButtonOf(e->button());
    const QPoint at = ScreenPixels(e->position());
    if (b && h_.Down) h_.Down(*b, ShiftOf(e->modifiers(), e->buttons(), true), at.x(), at.y());
}

void ViewWidget::mouseReleaseEvent(QMouseEvent* e) {
    const auto b = ButtonOf(e->button());
    const QPoint at = ScreenPixels(e->position());
    if (b && h_.Up) h_.Up(*b, ShiftOf(e->modifiers(), e->buttons(), false), at.x(), at.y());
}

void ViewWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = ScreenPixels(e->position());
    if (h_.Move) h_.Move(ShiftOf(e->modifiers(), e->buttons(), false), at.x(), at.y());
}

void ViewWidget::wheelEvent(QWheelEvent* e) {
    // Qt counts the wheel in eighths of a degree, 120 a notch, as the system does.
    const QPoint at = ScreenPixels(e->position());
    if (h_.Wheel && e->angleDelta().y() != 0)
        h_.Wheel(ShiftOf(e->modifiers(), e->buttons(), false), e->angleDelta().y(), at.x(), at.y());
    e->accept();
}

void ViewWidget::resizeEvent(QResizeEvent*) {
    if (h_.Resized) h_.Resized();
}

}  // namespace ocu::qt
