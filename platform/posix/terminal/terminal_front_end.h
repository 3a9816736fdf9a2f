// The factory of the interactive terminal front end (ncursesw), registered
// with the UI core when the program starts.
#pragma once

#include "platform/posix/terminal/keys.h"
#include "platform/posix/ui/frontend.h"

#include <memory>
#include <optional>
#include <string>

namespace terminal {

// The key a terminal's escape sequence (the bytes after ESC and '[' or
// 'O') stands for, when it is one the front end knows.
std::optional<Key> DecodeSequence(const std::string& sequence);

// Null, with the reason in `whyNot`, when the terminal cannot be used.
std::unique_ptr<ui::frontend::FrontEnd> MakeTerminalFrontEnd(std::string& whyNot);

}  // namespace terminal
