// Pieces every window on the terminal is drawn with: the frame with its
// title bar and close box, and push buttons.
#pragma once

#include "platform/posix/terminal/canvas.h"

#include <string>

namespace terminal {

// A window: title bar on the top row (caption, close box "[x]" at the
// right), the face filled, a frame round the rest. Returns the client
// rectangle (inside the frame, below the title bar).
Rect DrawWindow(Canvas& canvas, Rect outer, std::u32string_view caption, bool active);
// Where the close box of a window drawn at `outer` is.
Rect CloseBoxOf(Rect outer);

// A push button on one row: "[ text ]", or "< text >" for the button that
// Enter presses; the focused one is shown in reverse.
void DrawButton(Canvas& canvas, Rect row, std::u32string_view text, bool isDefault, bool focused, bool enabled);

}  // namespace terminal
