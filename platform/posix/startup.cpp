#include "platform/startup.h"

namespace startup {
void CoInitialize() {}
void InitCommonControls() {}
int WSAStartup(unsigned short) { return 0; }
}  // namespace startup
