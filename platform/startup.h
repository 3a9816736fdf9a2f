// Start-up steps of the platform libraries. Each is done once at start and
// nothing else of them is used; on Linux they have nothing to do.
#pragma once

namespace startup {
void CoInitialize();
void InitCommonControls();
int WSAStartup(unsigned short version);
}  // namespace startup
