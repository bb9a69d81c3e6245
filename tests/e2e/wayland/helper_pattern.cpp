// A Wayland-native window over the whole screen showing the coordinate pattern of the X11
// tests, so that a test reading a captured pixel knows where on the screen it came from:
// the pixel at (x, y) is R = x mod 256, G = y mod 256, B = (x div 256) * 16 + y div 256.
//
//   helper_pattern       prints "ready" once the compositor has shown a full-screen frame;
//                        refuses (exit 1) to run as an X client, where the pattern would be
//                        Xwayland's and not a Wayland surface.
//
// Then it tells what input reaches it, one line each, so a test sees where injected input
// lands: "press B X Y" / "release B X Y" (B 1 left, 2 middle, 3 right; screen pixels),
// "key 0xKEYSYM" for a key pressed.
#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

QImage Pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) row[x] = qRgb(x & 0xff, y & 0xff, ((x >> 8) * 16 + (y >> 8)) & 0xff);
    }
    return image;
}

class PatternWindow : public QWidget {
public:
    PatternWindow()
    {
        setWindowFlag(Qt::FramelessWindowHint);
        setCursor(Qt::BlankCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Device pixels, one to one with the screen's, whatever the scale.
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (QSizeF(size()) * ratio).toSize();
        if (image_.size() != pixels) {
            image_ = Pattern(pixels);
            image_.setDevicePixelRatio(ratio);
        }
        QPainter(this).drawImage(0, 0, image_);
        // Only a paint over the whole screen counts. An update asked for once it is committed
        // (after this returns) comes with the compositor's frame callback, that is once a frame
        // showing it was drawn; asked for here, it would come at once.
        if (!painted_ && pixels == screen()->geometry().size() * screen()->devicePixelRatio()) {
            painted_ = true;
            windowHandle()->installEventFilter(this);
            QTimer::singleShot(0, this, [this] { windowHandle()->requestUpdate(); });
        }
    }

    void mousePressEvent(QMouseEvent* e) override { Report("press", e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Report("release", e); }
    void keyPressEvent(QKeyEvent* e) override
    {
        std::printf("key 0x%x\n", e->nativeVirtualKey());
        std::fflush(stdout);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest && painted_ && !announced_) {
            announced_ = true;
            std::printf("ready\n");
            std::fflush(stdout);
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    static void Report(const char* what, QMouseEvent* e)
    {
        const int button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::MiddleButton ? 2 : 3;
        // The window covers the screen from its corner: its pixels are the screen's.
        const QPoint at = e->position().toPoint();
        std::printf("%s %d %d %d\n", what, button, at.x(), at.y());
        std::fflush(stdout);
    }

    QImage image_;
    bool painted_ = false, announced_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "wayland");
    QApplication app(argc, argv);
    if (!QGuiApplication::platformName().startsWith("wayland")) {
        std::printf("error not a Wayland client (platform %s)\n", qPrintable(QGuiApplication::platformName()));
        return 1;
    }
    PatternWindow window;
    window.showFullScreen();
    return app.exec();
}
