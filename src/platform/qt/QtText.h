#pragma once
// The core's UTF-8 texts as Qt strings, and the report of an error nobody expected.
#include <QMessageBox>
#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace ocu::qt {

inline QString Q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
inline std::string U8(const QString& s) { return s.toStdString(); }

// Shows a message with OK, the way every box of this program shows one: Ctrl+C in it copies
// its caption and text, as in a Windows message box, for a person to quote it.
void ShowMessageBox(QWidget* owner, const QString& caption, const QString& text,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);

// Shows the exception being handled in a message box (its text, or the general one).
void ReportCurrentException(QWidget* owner) noexcept;

// Runs a call on the behaviour from a Qt event: an exception must not cross Qt's event loop.
template <typename Fn>
void Guarded(QWidget* owner, Fn&& fn) noexcept {
    try {
        fn();
    } catch (...) {
        ReportCurrentException(owner);
    }
}

}  // namespace ocu::qt
