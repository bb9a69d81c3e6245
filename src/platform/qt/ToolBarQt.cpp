#include "platform/qt/ToolBarQt.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "mainwindow/ViewLayout.h"

namespace ocu::qt {
namespace {

constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 38;
constexpr int kPictureSize = 16;
const QColor kCream(255, 251, 240);
const QColor kCaptionBlue(0, 0, 255);
const QColor kInk(0, 51, 153);
const QColor kGlass(170, 215, 255);
const QColor kHandle(120, 72, 24);
const QColor kArrow(0, 110, 40);

// Lines end as the pictures' first drawing ended them: a thin line short of its end
// point, a wide one rounded past both ends.
void Use(QPainter& p, const QColor& pen, int width, std::optional<QColor> fill = std::nullopt) {
    p.setPen(QPen(pen, width, Qt::SolidLine, width > 1 ? Qt::SquareCap : Qt::FlatCap, Qt::MiterJoin));
    if (fill) p.setBrush(*fill);
    else p.setBrush(Qt::NoBrush);
}

void Triangle(QPainter& p, int x, int y, QPoint a, QPoint b, QPoint c) {
    const QPoint pts[3] = {{x + a.x(), y + a.y()}, {x + b.x(), y + b.y()}, {x + c.x(), y + c.y()}};
    p.drawPolygon(pts, 3);
}

// A magnifying glass; `plus` adds the vertical stroke of a plus sign.
void Magnifier(QPainter& p, int x, int y, bool plus) {
    Use(p, kHandle, 2);
    p.drawLine(x + 10, y + 10, x + 15, y + 15);
    p.drawLine(x + 11, y + 10, x + 15, y + 14);
    Use(p, kInk, 1, kGlass);
    p.drawEllipse(QRect(x, y, 12, 12));
    Use(p, kInk, 2);
    p.drawLine(x + 3, y + 6, x + 10, y + 6);
    if (plus) p.drawLine(x + 6, y + 3, x + 6, y + 10);
}

void FlipPicture(QPainter& p, int x, int y, bool horizontal) {
    Use(p, QColor(128, 128, 128), 1);
    for (int i = 0; i < 16; i += 3) {
        if (horizontal) p.drawLine(x + 7, y + i, x + 7, y + i + 2);
        else p.drawLine(x + i, y + 7, x + i + 2, y + 7);
    }
    // The filled shape and its hollow mirror image.
    Use(p, kInk, 1, kInk);
    if (horizontal) Triangle(p, x, y, {0, 7}, {5, 2}, {5, 12});
    else Triangle(p, x, y, {7, 0}, {2, 5}, {12, 5});
    Use(p, kInk, 1, QColor(255, 255, 255));
    if (horizontal) Triangle(p, x, y, {14, 7}, {9, 2}, {9, 12});
    else Triangle(p, x, y, {7, 14}, {2, 9}, {12, 9});
}

// Three quarters of a circle from its top, with an arrow head at its end.
void TurnPicture(QPainter& p, int x, int y, bool clockwise) {
    Use(p, kArrow, 2);
    p.drawArc(QRect(x + 2, y + 3, 11, 11), 90 * 16, (clockwise ? -270 : 270) * 16);
    Use(p, kArrow, 1, kArrow);
    if (clockwise) Triangle(p, x, y, {0, 9}, {6, 9}, {3, 4});
    else Triangle(p, x, y, {10, 9}, {15, 9}, {12, 4});
}

void ResetPicture(QPainter& p, int x, int y) {
    Use(p, kArrow, 2);
    p.drawEllipse(QRect(x + 2, y + 3, 12, 12));
    Use(p, kInk, 2);
    p.drawLine(x + 8, y + 10, x + 8, y + 4);
    Use(p, kInk, 1, kInk);
    Triangle(p, x, y, {5, 4}, {11, 4}, {8, 0});
}

}  // namespace

void DrawToolPicture(QPainter& p, int x, int y, CommandId id) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (id) {
    case CommandId::tbZoomUp: Magnifier(p, x, y, true); break;
    case CommandId::tbZoomOut: Magnifier(p, x, y, false); break;
    case CommandId::tbFlipH: FlipPicture(p, x, y, true); break;
    case CommandId::tbFlipV: FlipPicture(p, x, y, false); break;
    case CommandId::tbLRotate: TurnPicture(p, x, y, true); break;   // 右に回転
    case CommandId::tbRRotate: TurnPicture(p, x, y, false); break;  // 左に回転
    case CommandId::tbReset: ResetPicture(p, x, y); break;
    default: break;
    }
    p.restore();
}

ToolBarQt::ToolBarQt(QWidget* parent, PressHandler onPress, ClickHandler onClick)
    : QWidget(parent), onPress_(std::move(onPress)), onClick_(std::move(onClick)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect ToolBarQt::ButtonRect(int index) const { return {index * kButtonWidth, 0, kButtonWidth, kButtonHeight}; }

CommandId ToolBarQt::ButtonAt(QPoint p) const {
    const auto buttons = MainToolBar();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (ButtonRect(static_cast<int>(i)).contains(p)) return buttons[i].Id;
    return CommandId::None;
}

void ToolBarQt::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kCream);
    const auto buttons = MainToolBar();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const QRect r = ButtonRect(static_cast<int>(i));
        const CommandId id = buttons[i].Id;
        const bool down = (pressed_ == id && hover_ == id) || hold_.Held() == id;
        if (down || hover_ == id) {
            // A flat button shows its edge only under the pointer: raised, or sunk while pressed.
            p.setPen(down ? QColor(128, 128, 128) : QColor(255, 255, 255));
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(down ? QColor(255, 255, 255) : QColor(128, 128, 128));
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        }
        const int shift = down ? 1 : 0;
        DrawToolPicture(p, r.left() + (kButtonWidth - kPictureSize) / 2 + shift, r.top() + 3 + shift, id);
        p.setPen(kCaptionBlue);
        const QRect text(r.left() + shift, r.top() + 3 + kPictureSize + 1 + shift, kButtonWidth,
                         kButtonHeight - kPictureSize - 5);
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                   QString::fromUtf8(buttons[i].Caption.data(), static_cast<qsizetype>(buttons[i].Caption.size())));
    }
}

void ToolBarQt::mousePressEvent(QMouseEvent* e) {
    const CommandId id = ButtonAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton) pressed_ = id;
    if (hold_.Press(id)) onPress_(id, true);
    update();
}

void ToolBarQt::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void ToolBarQt::mouseReleaseEvent(QMouseEvent* e) {
    const CommandId over = ButtonAt(e->position().toPoint());
    const CommandId clicked = e->button() == Qt::LeftButton && over == pressed_ ? pressed_ : CommandId::None;
    if (e->button() == Qt::LeftButton) pressed_ = CommandId::None;
    EndHold();
    update();
    if (const CommandId c = ClickCommand(clicked); c != CommandId::None) onClick_(c);
}

void ToolBarQt::mouseMoveEvent(QMouseEvent* e) {
    const CommandId over = ButtonAt(e->position().toPoint());
    if (over != hover_) {
        hover_ = over;
        update();
    }
}

void ToolBarQt::leaveEvent(QEvent*) {
    hover_ = CommandId::None;
    update();
}

void ToolBarQt::EndHold() {
    if (const std::optional<CommandId> id = hold_.End()) onPress_(*id, false);
}

bool ToolBarQt::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const ToolButton* b = FindToolButton(ButtonAt(help->pos()));
        if (b != nullptr && !b->Hint.empty())
            QToolTip::showText(help->globalPos(),
                               QString::fromUtf8(b->Hint.data(), static_cast<qsizetype>(b->Hint.size())), this);
        else QToolTip::hideText();
        return true;
    }
    if (e->type() == QEvent::UngrabMouse) {
        pressed_ = CommandId::None;
        EndHold();
    }
    return QWidget::event(e);
}

}  // namespace ocu::qt
