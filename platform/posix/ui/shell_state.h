// The notification-area icon as the front end sees it.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <optional>

namespace ui::core {

std::optional<frontend::TrayIconView> CurrentTrayIcon();
// A click on the icon (WM_LBUTTONDOWN) or its balloon
// (NIN_BALLOONUSERCLICK): its callback message goes to its window.
void ClickTrayIcon(LParam what);

}  // namespace ui::core
