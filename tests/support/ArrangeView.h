#pragma once
// Arranging a main window's view state in a test, where no single command reaches
// the state wanted: the current state, edited, handed to TfrmCap::Arrange as a whole.
#include <utility>

#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewState.h"

namespace ocu::support {

template <class Edit>
void ArrangeView(TfrmCap& form, Edit&& edit) {
    ViewState state = form.State();
    std::forward<Edit>(edit)(state);
    form.Arrange(state);
}

}  // namespace ocu::support
