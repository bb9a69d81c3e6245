#include "platform/qt/QtDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "dialogs/DialogTexts.h"

namespace ocu::qt {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Qt's units are the interface's own scaled pixels, the Windows layout's 96-dpi pixels.
void Place(QWidget* w, const DialogBox& b) { w->setGeometry(b.X, b.Y, b.W, b.H); }
void Place(QWidget* w, const DialogBox& b, const DialogBox& within) {
    w->setGeometry(b.X - within.X, b.Y - within.Y, b.W, b.H);
}

void Blue(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    p.setColor(QPalette::Text, Qt::blue);
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    w->setPalette(p);
}

QPlainTextEdit* ReadOnlyMemo(QWidget* parent, const QString& text) {
    auto* memo = new QPlainTextEdit(text, parent);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFocusPolicy(Qt::ClickFocus);
    return memo;
}

}  // namespace

std::optional<OptionsChoice> RunOptionsDialog(QWidget* owner, OptionsChoice current) {
    using L = OptionsDialogLayout;
    QDialog dialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowTitle(Q(text::kOptionsCaption));
    auto* group = new QGroupBox(Q(text::kShortcutGroup), &dialog);
    Place(group, L::kGroup);
    auto* check = new QCheckBox(Q(text::kShortcutInProgramsMenu), group);
    Place(check, L::kCheck, L::kGroup);
    check->setChecked(current.Shortcut);
    auto* ok = new QPushButton(Q(text::kOk), &dialog);
    Place(ok, L::kOk);
    ok->setDefault(true);
    auto* cancel = new QPushButton(Q(text::kCancel), &dialog);
    Place(cancel, L::kCancel);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    // Windows sizes this one from outside: the frame's and the caption's share comes off.
    const int frame = dialog.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int caption = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    dialog.setFixedSize(L::kOuterSize.X - 2 * frame, L::kOuterSize.Y - caption - 2 * frame);
    check->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return OptionsChoice{check->isChecked()};
}

void RunVersionDialog(QWidget* owner, const std::string& versionText, const std::string& url) {
    using L = VersionDialogLayout;
    QDialog dialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowTitle(Q(text::kVersionCaption));
    dialog.setFixedSize(L::kClientSize.X, L::kClientSize.Y);
    auto* panel = new QFrame(&dialog);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Place(panel, L::kPanel);
    auto* product = new QLabel(Q(text::kProductName), &dialog);
    Place(product, L::kProduct);
    QFont bold = product->font();
    bold.setPixelSize(L::kProductFontPixels);
    bold.setBold(true);
    product->setFont(bold);
    Blue(product);
    auto* label = new QLabel(Q(text::kVersionNumber), &dialog);
    Place(label, L::kVersionLabel);
    Place(ReadOnlyMemo(&dialog, QString::fromStdString(versionText)), L::kVersionMemo);
    auto* address = new QLineEdit(QString::fromStdString(url), &dialog);
    address->setReadOnly(true);
    address->setFrame(false);
    address->setFocusPolicy(Qt::ClickFocus);
    Blue(address);
    Place(address, L::kUrl);
    Place(ReadOnlyMemo(&dialog, Q(text::kVersionMemo2)), L::kMemo2);
    auto* ok = new QPushButton(Q(text::kOk), &dialog);
    Place(ok, L::kOk);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    // OK has the focus, so that Enter closes the dialog and no text shows selected.
    ok->setFocus();
    dialog.exec();
}

}  // namespace ocu::qt
