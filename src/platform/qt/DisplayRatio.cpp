#include "platform/qt/DisplayRatio.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace ocu::qt {

DisplayRatio::DisplayRatio() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) return;
    for (QScreen* s : QGuiApplication::screens()) Watch(s);
    links_.push_back(QObject::connect(app, &QGuiApplication::screenAdded, [this](QScreen* s) {
        Watch(s);
        Forget();
    }));
    links_.push_back(QObject::connect(app, &QGuiApplication::screenRemoved, [this](QScreen*) { Forget(); }));
    links_.push_back(QObject::connect(app, &QGuiApplication::primaryScreenChanged, [this](QScreen*) { Forget(); }));
}

DisplayRatio::~DisplayRatio() {
    for (const auto& link : links_) QObject::disconnect(link);
    QObject::disconnect(windowLink_);
}

void DisplayRatio::Watch(QScreen* screen) {
    const auto forget = [this] { Forget(); };
    links_.push_back(QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, forget));
    links_.push_back(QObject::connect(screen, &QScreen::physicalDotsPerInchChanged, forget));
    links_.push_back(QObject::connect(screen, &QScreen::geometryChanged, forget));
}

double DisplayRatio::Of(QWidget* window) {
    if (window == nullptr) return 1.0;
    QWindow* native = window->windowHandle();
    if (native == nullptr) return window->devicePixelRatioF();
    // A widget's native window can be made anew (and a new one take a gone one's address):
    // the link follows the one the widget has now.
    if (native != native_) {
        QObject::disconnect(windowLink_);
        native_ = native;
        windowLink_ = QObject::connect(native, &QWindow::screenChanged, [this](QScreen*) { Forget(); });
        ratio_.reset();
    }
    if (!ratio_) ratio_ = window->devicePixelRatioF();
    return *ratio_;
}

}  // namespace ocu::qt
