// Every wizard dialog shows the program's icon.
#pragma once

#include "platform/ui.h"

// Installs appIcon as the dialog class's small, then large icon.
void InstallAppIcon(ui::Window dialog);
