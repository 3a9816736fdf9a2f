// The script front end: answers what the program shows from a script, in
// order, and reports a mismatch (exit code 3) instead of ever hanging.
#pragma once

#include "platform/portable/ui/front_end.h"

#include <memory>
#include <string>
#include <string_view>

namespace ui::core {

// Null, with the reason in `error`, when the script cannot be parsed. The
// idle time before an unanswered window counts as a mismatch comes from
// LINNET_SCRIPT_IDLE_MS (default 3000) unless given.
std::unique_ptr<frontend::FrontEnd> MakeScriptFrontEnd(std::string_view scriptText, std::string& error,
                                                       long idleMs = -1);

}  // namespace ui::core
