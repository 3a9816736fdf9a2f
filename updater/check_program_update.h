// The program's own update: one request for the running executable.
#pragma once

#include <string_view>

// Builds the request for the running executable and runs it; returns the
// update run's result (99: the program should exit so the update takes effect).
int CheckProgramUpdate(std::u16string_view caption, std::u16string_view appGuid);
