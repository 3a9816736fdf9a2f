// What the checking dialog shares with the check workers while it is open.
#pragma once

#include "platform/threads.h"
#include "platform/ui.h"

// Signalled: workers may take links; reset: paused. Created when the checking
// dialog opens and deleted once its workers have been joined.
extern threads::Event* RunEvent;

// The window that receives WM_LINK_RESULT.
extern ui::Window resultsWindow;
