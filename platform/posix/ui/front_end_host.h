// Which front end runs, on which thread, and the ways out of the process.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <memory>
#include <string>

namespace ui::core {

// The front end, or null when none has been started (in-process tests may
// run dialogs' code without one; their loops then wait on the queue only).
std::shared_ptr<frontend::FrontEnd> ActiveFrontEnd();
// True on the thread that started the front end (the thread whose loops
// ask the front end for input).
bool IsUiThread();
ThreadId UiThread();
// Wakes the front end when `thread` is the UI thread.
void WakeFrontEndFor(ThreadId thread);
// The front end that StartFrontEnd runs, by LINNET_FRONTEND or else by what
// is at hand; null, with the reason in `whyNot`, when none can start.
std::unique_ptr<frontend::FrontEnd> ChooseFrontEnd(std::string& whyNot);
// Reports input the core could not apply, to the transcript and the front end.
void RejectInput(const frontend::Input& input, const std::string& dialogName, const std::string& why);

}  // namespace ui::core
