// The checking progress dialog (DIALOG_3): runs the check workers and shows
// running statistics. Ends with 1 when every link has reported, 0 when cancelled.
#pragma once

#include <cstdint>

#include "platform/ui.h"

std::intptr_t CheckingDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam);
