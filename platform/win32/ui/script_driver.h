// The script on Windows: a thread of its own that finds the window the
// program waits in, hands what it sees to the script (the same script
// front end as on Linux) and carries out the answer through window
// messages, as a person's clicks and keys would.
#pragma once

#include <memory>

#include "platform/portable/ui/front_end.h"

namespace ui::win32_ui {

// Starts the driver thread for the script; it runs until the process ends.
void StartScriptDriver(std::unique_ptr<frontend::FrontEnd> script);

// Input that could not be carried out, for the transcript and the script.
void RejectInput(const frontend::Input& input, const std::string& dialogName, const std::string& why);

}  // namespace ui::win32_ui
