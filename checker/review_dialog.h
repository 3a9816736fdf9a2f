// The problem review dialog (DIALOG_4): lists the links marked Delete or Fix,
// opens and restores them; ends the process when none are left.
#pragma once

#include <cstdint>

#include "platform/ui.h"

std::intptr_t ReviewDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam);
