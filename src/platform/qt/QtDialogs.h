#pragma once
// The options and version dialogs as Qt dialogs: the Windows program's texts, boxes and places.
#include <QWidget>
#include <optional>
#include <string>

#include "dialogs/ShellServices.h"

namespace ocu::qt {

// The options dialog with its box showing `current`: its state on OK, nullopt on cancel.
std::optional<OptionsChoice> RunOptionsDialog(QWidget* owner, OptionsChoice current);

// The version dialog; `versionText` fills the version box, `url` the address line.
void RunVersionDialog(QWidget* owner, const std::string& versionText, const std::string& url);

}  // namespace ocu::qt
