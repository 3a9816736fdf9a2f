// Delivering a message to a window: a dialog's procedure with the default
// dialog handling behind it, or a control's built-in behaviour.
#pragma once

#include "platform/posix/ui/frontend.h"
#include "platform/posix/ui/message_loop.h"
#include "platform/ui.h"

namespace ui::core {

// Runs on the calling thread; 0 for a window that is gone.
std::intptr_t CallWindow(Window window, unsigned message, WParam wParam, LParam lParam);

// Applies a person's doing (click, selection, key, close box) to a dialog,
// as the platform would; `frame` is the loop that received it.
void ApplyDialogInput(const frontend::Input& input, const Frame& frame);

}  // namespace ui::core
