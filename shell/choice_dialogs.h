// The wizard's three questions: where the bookmarks come from, what to do with
// each kind of problem, and where the results go. Each is a dialog procedure
// for the template of the same name (DIALOG_1, DIALOG_2, DIALOG_5).
#pragma once

#include <cstdint>

#include "platform/ui.h"

// Ends with the BookmarkSource: 1, 2 or 3, or 0 when cancelled.
std::intptr_t SourceDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam);
// Ends with the ActionFlags chosen (AF_CHOSEN always set), or 0 when cancelled.
std::intptr_t ActionsDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam);
// Starts with the BookmarkSource (lParam) selected; ends with the SaveTarget,
// or 0 once the person has confirmed the cancel.
std::intptr_t SaveTargetDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam);

// The source dialog's update button: clears what an earlier update left
// beside the executable and runs the program's own update check.
void CheckForUpdates(ui::Window dialog);
