// Dialog views built from the program's own templates, as the UI core
// hands them to a front end, for tests that compose screens in memory.
#pragma once

#include "platform/dialog_template.h"
#include "platform/posix/terminal/canvas.h"
#include "platform/posix/ui/frontend.h"

#include <string>

namespace terminal_test {

ui::frontend::DialogView ViewOf(std::string_view templateName, std::uintptr_t handle = 1);
ui::frontend::ControlView& ControlById(ui::frontend::DialogView& view, int id);

// A screen with one modal dialog that waits for input.
ui::frontend::Screen ScreenWith(const ui::frontend::DialogView& view);

// The composed screen as text, one line per row.
std::string Text(const terminal::Canvas& canvas);

}  // namespace terminal_test
