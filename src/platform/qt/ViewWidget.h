#pragma once
// The main window's client area: the bars are its children, the view is painted on it
// from the last frame shown, and its mouse input goes to the behaviour in client coordinates.
#include <QImage>
#include <QWidget>
#include <functional>

#include "mainwindow/MouseInput.h"

namespace ocu::qt {

class ViewWidget : public QWidget {
public:
    struct Handlers {
        std::function<void(MouseButton, ShiftState, int x, int y)> Down;
        std::function<void(MouseButton, ShiftState, int x, int y)> Up;
        std::function<void(ShiftState, int x, int y)> Move;
        std::function<void(ShiftState, int delta, int x, int y)> Wheel;
        std::function<void()> Resized;
    };
    ViewWidget(QWidget* parent, Handlers handlers);

    // The frame's pixels (borrowed, not copied) and where they are shown, in screen pixels
    // of the client area (its device pixel ratio set to the display's scale); a null image:
    // none. Mouse positions are given in screen pixels too.
    void SetFrame(const QImage& frame, QRect where);
    // The same, for a frame already put into this widget's window by the server: only what
    // it no longer covers is painted.
    void FramePutDirectly(const QImage& frame, QRect where);
    // The ground of the bars above and below the view. At a fractional scale the bars' edges
    // fall on half pixels; the row left between a bar and the frame shows this, not a seam.
    void SetBarsGround(QColor ground) { barsGround_ = ground; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QRect Logical(QRect pixels) const;  // Qt's units that reach into `pixels`
    QRect Inside(QRect pixels) const;   // those wholly inside
    QPoint ScreenPixels(QPointF logical) const;

    Handlers h_;
    QImage frame_;
    QRect where_;
    bool exposeWatched_ = false;
    QColor barsGround_;
};

// The keys and buttons held, as the behaviour reads them.
ShiftState ShiftOf(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons, bool doubleClick);

}  // namespace ocu::qt
