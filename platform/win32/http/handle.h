// The HTTP layer's handles: each wraps one WinINet handle and knows its
// children, so that an abort from any thread can close a whole family at
// once (WinINet then fails the calls under way on it), while the owner's
// own InternetCloseHandle later never closes a handle twice.
#pragma once

#include "platform/win32/windows_api.h"

#include <memory>
#include <mutex>
#include <vector>

namespace http {

struct HandleTag {
  HINTERNET native = nullptr;  // null once closed (by its owner, an abort, or its parent)
  HandleTag* parent = nullptr;
  std::vector<HandleTag*> children;
  bool aborted = false;
};

namespace win32_http {

// Guards every handle's fields; never held during a network call.
std::mutex& HandleMutex();

// A new handle for `native` under `parent` (null for a session). When the
// parent was aborted meanwhile, the native handle is closed and null returned.
Handle Adopt(HINTERNET native, Handle parent);

// The native handle to use for a call, or null when it has been aborted.
HINTERNET NativeOf(Handle handle);

// The time limits applied to each new session.
void ApplyTimeouts(HINTERNET session);

}  // namespace win32_http
}  // namespace http
