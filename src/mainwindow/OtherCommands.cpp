// Commands whose work lies outside the view: image output, dialogs and help.
#include "mainwindow/TfrmCap.h"

namespace ocu {

void TfrmCap::OnOtherCommand(CommandId) {}

}  // namespace ocu
