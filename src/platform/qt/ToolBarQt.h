#pragma once
// The main tool bar: seven flat buttons of 60 x 38 on a cream ground, a picture above a
// blue caption, hints as tool tips. Buttons that act while held report every press and
// release of any mouse button; the others report a left click.
#include <QWidget>
#include <functional>
#include <optional>

#include "mainwindow/ButtonHold.h"
#include "mainwindow/Commands.h"

namespace ocu::qt {

class ToolBarQt : public QWidget {
public:
    using PressHandler = std::function<void(CommandId id, bool down)>;
    using ClickHandler = std::function<void(CommandId id)>;
    ToolBarQt(QWidget* parent, PressHandler onPress, ClickHandler onClick);

    // The command of the button under a point of the bar, None if none.
    CommandId ButtonAt(QPoint p) const;
    QRect ButtonRect(int index) const;
    std::optional<CommandId> Held() const { return hold_.Held(); }
    // The mouse can no longer come back here (a modal box took it): a hold ends now.
    void EndHold();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    PressHandler onPress_;
    ClickHandler onClick_;
    ButtonHold hold_;
    CommandId pressed_ = CommandId::None;  // left button down on it, for the click
    CommandId hover_ = CommandId::None;
};

// The 16 x 16 picture of a tool button, drawn at (x, y).
void DrawToolPicture(class QPainter& p, int x, int y, CommandId id);

}  // namespace ocu::qt
