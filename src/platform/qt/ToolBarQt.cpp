#include "platform/qt/ToolBarQt.h"

#include <cmath>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "mainwindow/ToolPictures.h"
#include "mainwindow/ViewLayout.h"

namespace ocu::qt {
namespace {

constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 38;
constexpr int kPictureSize = kToolPictureSize;
const QColor kCream(255, 251, 240);
const QColor kCaptionBlue(0, 0, 255);

QColor Colour(PictureColour c) { return {c.R, c.G, c.B}; }

// Lines end as the pictures' first drawing ended them: a thin line short of its end
// point, a wide one rounded past both ends.
void Use(QPainter& p, const PictureStroke& s) {
    const int w = s.PenWidth;
    p.setPen(QPen(Colour(s.Pen), w, Qt::SolidLine, w > 1 ? Qt::SquareCap : Qt::FlatCap, Qt::MiterJoin));
    if (s.Fill) p.setBrush(Colour(*s.Fill));
    else p.setBrush(Qt::NoBrush);
}

// Qt's angle, in sixteenths of a degree counter-clockwise from three o'clock, of the ray
// from the box's centre through `to`.
int RayAngle(QPointF centre, QPoint to) {
    return static_cast<int>(std::lround(std::atan2(centre.y() - to.y(), to.x() - centre.x()) * 180 / M_PI * 16));
}

}  // namespace

void DrawToolPicture(QPainter& p, int x, int y, CommandId id) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const PictureStroke& s : ToolPicture(id)) {
        Use(p, s);
        QPoint at[4];
        for (int i = 0; i < 4; ++i) at[i] = {x + s.At[i].X, y + s.At[i].Y};
        // The strokes' boxes leave their right and bottom edges outside; Qt's keep them in.
        const QRect box(at[0], at[1] - QPoint(2, 2));
        switch (s.Shape) {
        case StrokeShape::Line: p.drawLine(at[0], at[1]); break;
        case StrokeShape::Triangle: p.drawPolygon(at, 3); break;
        case StrokeShape::Ellipse: p.drawEllipse(box); break;
        case StrokeShape::Arc: {
            const QPointF centre = QRectF(at[0], at[1]).center();
            const int from = RayAngle(centre, at[2]);
            int span = RayAngle(centre, at[3]) - from;
            if (s.Clockwise && span >= 0) span -= 360 * 16;
            if (!s.Clockwise && span <= 0) span += 360 * 16;
            p.drawArc(box, from, span);
            break;
        }
        }
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
