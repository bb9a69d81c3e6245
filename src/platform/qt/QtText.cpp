#include "platform/qt/QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>
#include <exception>

#include "dialogs/DialogTexts.h"
#include "mainwindow/ErrorTexts.h"

namespace ocu::qt {
namespace {
bool g_reporting = false;
}

void ShowMessageBox(QWidget* owner, const QString& caption, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    // Laid out as Windows copies a message box, so a pasted message reads the same.
    const QString rule = QStringLiteral("---------------------------\n");
    const QString copied = rule + caption + u'\n' + rule + text + u'\n' + rule + Q(text::kOk) + u'\n' + rule;
    QObject::connect(new QShortcut(QKeySequence::Copy, &box), &QShortcut::activated, &box, [copied] {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(copied);
    });
    box.exec();
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
        ShowMessageBox(owner, QStringLiteral("Ocumira"), message, QMessageBox::Critical);
    } catch (...) {
    }
    g_reporting = false;
}

}  // namespace ocu::qt
