#include "platform/qt/QtText.h"

#include <QMessageBox>
#include <exception>

#include "mainwindow/ErrorTexts.h"

namespace ocu::qt {
namespace {
bool g_reporting = false;
}

void ReportCurrentException(QWidget* owner) noexcept {
    // A failure inside the report (or another while its box is open) is not told twice.
    if (g_reporting) return;
    g_reporting = true;
    try {
        QString message = Q(text::kUnexpectedError);
        try {
            throw;
        } catch (const std::exception& e) {
            message = QString::fromUtf8(e.what());
        } catch (...) {
        }
        QMessageBox::critical(owner, QStringLiteral("Ocumira"), message);
    } catch (...) {
    }
    g_reporting = false;
}

}  // namespace ocu::qt
