// The platform libraries the program starts once, before its first dialog.
#include "platform/win32/windows_api.h"

#include "platform/startup.h"

namespace startup {

void CoInitialize() { ::CoInitialize(nullptr); }

void InitCommonControls() { ::InitCommonControls(); }

int WSAStartup(unsigned short version) {
  WSADATA data;
  return ::WSAStartup(version, &data);
}

}  // namespace startup
