// The connectivity test is the system's own. LINNET_ASSUME_ONLINE=1 makes
// it succeed whatever the system says, as on Linux, for machines whose
// only network is loopback.
#include "platform/win32/http/handle.h"

namespace http {

bool InternetAttemptConnect() {
  wchar_t value[4] = {};
  if (::GetEnvironmentVariableW(L"LINNET_ASSUME_ONLINE", value, 4) == 1 && value[0] == L'1') return true;
  return ::InternetAttemptConnect(0) == ERROR_SUCCESS;
}

}  // namespace http
