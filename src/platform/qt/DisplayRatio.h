#pragma once
// A window's device pixel ratio, kept until something it depends on changes. Asking Qt walks
// from the widget to its screen and the scaling tables each time: dear on a tick that wakes
// to cold caches ten times a second, while the answer changes only when the window goes to
// another screen or a screen's resolution or scale changes.
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <optional>
#include <vector>

class QScreen;

namespace ocu::qt {

class DisplayRatio {
public:
    DisplayRatio();
    DisplayRatio(const DisplayRatio&) = delete;
    DisplayRatio& operator=(const DisplayRatio&) = delete;
    ~DisplayRatio();

    // The ratio of `window` (1 without one). Kept only once the window has a native window
    // whose screen changes can be followed.
    double Of(QWidget* window);
    void Forget() { ratio_.reset(); }

private:
    void Watch(QScreen* screen);

    std::optional<double> ratio_;
    QPointer<QWindow> native_;
    std::vector<QMetaObject::Connection> links_;
    QMetaObject::Connection windowLink_;
};

}  // namespace ocu::qt
