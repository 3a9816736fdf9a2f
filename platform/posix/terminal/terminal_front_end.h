// The factory of the interactive terminal front end (ncursesw), registered
// with the UI core when the program starts.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <memory>
#include <string>

namespace terminal {

// Null, with the reason in `whyNot`, when the terminal cannot be used.
std::unique_ptr<ui::frontend::FrontEnd> MakeTerminalFrontEnd(std::string& whyNot);

}  // namespace terminal
