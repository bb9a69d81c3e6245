#pragma once
// Where the program's dialogs put their boxes at a DPI, and where they sit on the screen.
#include "base/Geometry.h"

namespace ocu {

// The top-left corner that centres a window of `size` on `around` (it may stick out
// on every side when it is the larger).
IntPoint CentredOn(const IntRect& around, IntPoint size);

// The one-line input box, laid out in client pixels at `dpi`.
struct InputBoxLayout {
    IntRect Prompt, Edit, Ok, Cancel;
    IntPoint Client;  // the client area's width and height
};
// The width the prompt is broken to fit, at `dpi`.
int InputBoxPromptWidth(int dpi);
// The boxes for a prompt `promptHeight` high (as broken to InputBoxPromptWidth) in a
// font whose lines are `lineHeight` high.
InputBoxLayout LayoutInputBox(int dpi, int promptHeight, int lineHeight);

}  // namespace ocu
