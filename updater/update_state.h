// What one update run shares between the thread that runs it and its
// worker. Runs do not overlap, so one set of values serves the process.
#pragma once

#include <atomic>

#include "platform/threads.h"
#include "platform/ui.h"

// The update window while it exists; cleared when the run gives it up early,
// so the worker stops addressing it.
extern std::atomic<ui::Window> updateWindow;
// The thread that pumps the run's messages; the worker's completion is
// delivered to it, so the run ends even when the window was closed early.
extern std::atomic<ui::ThreadId> updateRunThread;
// Set when the run has no window: the worker signals its end here.
extern std::atomic<threads::Event*> UpdateDoneEvent;
