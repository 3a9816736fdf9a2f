// The HTTP layer's handles: each wraps one WinINet handle and knows its
// children, so that an abort from any thread can close a whole family at
// once (WinINet then fails the calls under way on it), while the owner's
// own InternetCloseHandle later never closes a handle twice.
#pragma once

#include "platform/win32/windows_api.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <thread>
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

// Runs a blocking WinINet call so that an abort of `handle`'s family ends
// the wait at once. Windows fails a call under way when its handle is
// closed from another thread; wine lets it run to its end (a stuck server
// holds it for the whole time-out), so the call runs on a thread of its
// own and the caller stops waiting as soon as the family is aborted. The
// result of a call given up so is handed to `discard` when it comes.
template <typename Result>
bool RunAbortable(Handle handle, std::function<Result()> call, std::function<void(Result)> discard, Result& result);

void NotifyAbort();
std::condition_variable& AbortSignal();
bool IsAborted(Handle handle);  // call with HandleMutex held

template <typename Result>
bool RunAbortable(Handle handle, std::function<Result()> call, std::function<void(Result)> discard, Result& result) {
  struct Shared {
    bool done = false;
    bool abandoned = false;
    Result value{};
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, call = std::move(call), discard = std::move(discard)] {
    Result value = call();
    bool abandoned;
    {
      std::lock_guard<std::mutex> lock(HandleMutex());
      shared->done = true;
      shared->value = value;
      abandoned = shared->abandoned;
    }
    AbortSignal().notify_all();
    if (abandoned && discard) discard(value);
  }).detach();
  std::unique_lock<std::mutex> lock(HandleMutex());
  AbortSignal().wait(lock, [&] { return shared->done || IsAborted(handle); });
  if (!shared->done) {
    shared->abandoned = true;
    return false;
  }
  result = shared->value;
  return true;
}

}  // namespace win32_http
}  // namespace http
