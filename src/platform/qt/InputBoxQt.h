#pragma once
// The one-line input box: a prompt, an edit field with the text selected, OK and キャンセル,
// laid out as the Windows program lays its own out.
#include <QString>
#include <optional>

class QWidget;

namespace ocu::qt {

// nullopt when cancelled.
std::optional<QString> ShowInputBox(QWidget* owner, const QString& title, const QString& prompt,
                                    const QString& initial);

}  // namespace ocu::qt
