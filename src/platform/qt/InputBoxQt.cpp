#include "platform/qt/InputBoxQt.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "base/LineBreaks.h"
#include "mainwindow/DialogLayout.h"
#include "mainwindow/Texts.h"
#include "mainwindow/ViewLayout.h"

namespace ocu::qt {
namespace {

void Place(QWidget* w, const IntRect& r) { w->setGeometry(r.Left, r.Top, r.Width(), r.Height()); }

IntRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

}  // namespace

std::optional<QString> ShowInputBox(QWidget* owner, const QString& title, const QString& prompt,
                                    const QString& initial) {
    QDialog box(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box.setWindowTitle(title);
    const QString shown = QString::fromStdU16String(NormalizeLineBreaks(prompt.toStdU16String()));
    auto* label = new QLabel(shown, &box);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* edit = new QLineEdit(initial, &box);
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    const std::string_view cancelText = text::kCancelButton;
    auto* cancel =
        new QPushButton(QString::fromUtf8(cancelText.data(), static_cast<qsizetype>(cancelText.size())), &box);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &box, &QDialog::reject);

    const QFontMetrics metrics(box.font());
    const int promptWidth = InputBoxPromptWidth(kDesignDpi);
    const QRect text = metrics.boundingRect(QRect(0, 0, promptWidth, 0), Qt::TextWordWrap,
                                            shown.isEmpty() ? QStringLiteral(" ") : shown);
    const InputBoxLayout l = LayoutInputBox(kDesignDpi, text.height(), metrics.height());
    Place(label, l.Prompt);
    Place(edit, l.Edit);
    Place(ok, l.Ok);
    Place(cancel, l.Cancel);
    box.setFixedSize(l.Client.X, l.Client.Y);
    // Centred on the owner when it is on screen, else on the work area.
    QRect around;
    if (owner != nullptr && owner->isVisible() && !owner->isMinimized()) around = owner->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen()) around = s->availableGeometry();
    const IntPoint at = CentredOn(FromQRect(around), {l.Client.X, l.Client.Y});
    box.move(at.X, at.Y);
    edit->selectAll();
    edit->setFocus();
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text();
}

}  // namespace ocu::qt
