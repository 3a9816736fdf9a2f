// Controls and messages of the update window (template DIALOG_UPDATE).
#pragma once

#include "platform/ui.h"

inline constexpr int kIdDownloadText = 701;  // the current download's progress text
inline constexpr int kIdFileBar = 901;       // current file, 0 to 100
inline constexpr int kIdOverallBar = 902;    // whole run, 0 to fileCount

// The notification-area icon's callback, and the worker's completion.
inline constexpr unsigned WM_UPDATE_TRAY = ui::WM_USER + 10;
inline constexpr unsigned WM_UPDATE_DONE = ui::WM_USER + 11;
inline constexpr unsigned kTrayIconId = 1034;
