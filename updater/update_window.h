// The update window: its procedure and the notification-area icon.
#pragma once

#include "platform/ui.h"

std::intptr_t UpdateWindowProc(ui::Window window, unsigned message, ui::WParam wParam, ui::LParam lParam);

// The icon shown in the notification area: ICON_1, or the system's
// information icon; loaded once and kept.
ui::Icon UpdaterIcon();
