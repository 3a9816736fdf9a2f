// Keyboard focus inside a dialog as the platform's dialog manager moves it:
// Tab and Shift-Tab go from tab stop to tab stop, a group of radio buttons
// is one stop (its checked button), and the arrow keys move within it.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <vector>

namespace terminal {

// Whether the person can put the focus on control `index`.
bool CanFocus(const ui::frontend::DialogView& dialog, int index);

// The radio buttons that belong together with `index` (itself included),
// in template order; empty when it is not a radio button.
std::vector<int> RadioGroup(const ui::frontend::DialogView& dialog, int index);

// The tab stops in order; a radio group appears once, as the member that
// takes the focus (the checked one, else the first that can).
std::vector<int> TabStops(const ui::frontend::DialogView& dialog);

// The next (or previous) tab stop after `focus`, wrapping; -1 when none.
int NextTabStop(const ui::frontend::DialogView& dialog, int focus, bool backwards);

// The next enabled radio button of the group of `focus` in direction
// `step` (+1 or -1), wrapping; `focus` itself when there is no other.
int NextInGroup(const ui::frontend::DialogView& dialog, int focus, int step);

// Where the focus starts when a dialog first waits for input.
int InitialFocus(const ui::frontend::DialogView& dialog);

// The push button that Enter presses: a focused push button, else the
// template's default button; -1 when there is none.
int DefaultButtonIndex(const ui::frontend::DialogView& dialog, int focus);

}  // namespace terminal
