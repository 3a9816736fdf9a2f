// Bringing Qt up in a program whose main takes no arguments.
#pragma once

#include <string>

namespace desktop {

// Creates the application object once; false, with the reason, when the
// display cannot be opened. Qt ends a process whose display fails to open,
// so a child process tries it first.
bool StartQt(std::string& whyNot);

}  // namespace desktop
