#include "platform/win32/http/handle.h"

#include <algorithm>
#include <atomic>

namespace http {
namespace win32_http {
namespace {

std::atomic<long> connectLimit{10000};
std::atomic<long> requestLimit{30000};

// Closes the native handles of a family, children first. WinINet closes a
// parent's children with it, so they are only forgotten, never closed again.
void CloseFamily(HandleTag* handle) {
  for (HandleTag* child : handle->children) {
    CloseFamily(child);
    child->native = nullptr;
  }
  if (handle->native) ::InternetCloseHandle(handle->native);
  handle->native = nullptr;
}

void ForgetNatives(HandleTag* handle) {
  for (HandleTag* child : handle->children) {
    ForgetNatives(child);
    child->native = nullptr;
  }
}

void MarkAborted(HandleTag* handle) {
  handle->aborted = true;
  for (HandleTag* child : handle->children) MarkAborted(child);
}

}  // namespace

std::condition_variable& AbortSignal() {
  static std::condition_variable signal;
  return signal;
}

bool IsAborted(Handle handle) { return handle && (handle->aborted || !handle->native); }

std::mutex& HandleMutex() {
  static std::mutex mutex;
  return mutex;
}

Handle Adopt(HINTERNET native, Handle parent) {
  if (!native) return nullptr;
  std::lock_guard<std::mutex> lock(HandleMutex());
  if (parent && (parent->aborted || !parent->native)) {
    ::InternetCloseHandle(native);
    return nullptr;
  }
  auto* handle = new HandleTag;
  handle->native = native;
  handle->parent = parent;
  if (parent) parent->children.push_back(handle);
  return handle;
}

HINTERNET NativeOf(Handle handle) {
  if (!handle) return nullptr;
  std::lock_guard<std::mutex> lock(HandleMutex());
  return handle->aborted ? nullptr : handle->native;
}

void ApplyTimeouts(HINTERNET session) {
  DWORD connect = static_cast<DWORD>(connectLimit.load());
  DWORD request = static_cast<DWORD>(requestLimit.load());
  ::InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  ::InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &request, sizeof request);
  ::InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &request, sizeof request);
}

}  // namespace win32_http

Timeouts GetTimeouts() { return {win32_http::connectLimit.load(), win32_http::requestLimit.load()}; }

void SetTimeouts(Timeouts timeouts) {
  win32_http::connectLimit.store(timeouts.connectMs);
  win32_http::requestLimit.store(timeouts.requestMs);
}

void InternetCloseHandle(Handle handle) {
  if (!handle) return;
  std::lock_guard<std::mutex> lock(win32_http::HandleMutex());
  // WinINet closes the children with their parent: they live on as empty
  // shells that their owners still close.
  win32_http::ForgetNatives(handle);
  if (handle->native) ::InternetCloseHandle(handle->native);
  handle->native = nullptr;
  for (HandleTag* child : handle->children) child->parent = nullptr;
  if (HandleTag* parent = handle->parent) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
  }
  delete handle;
}

void InternetAbort(Handle handle) {
  if (!handle) return;
  {
    std::lock_guard<std::mutex> lock(win32_http::HandleMutex());
    win32_http::MarkAborted(handle);
    win32_http::CloseFamily(handle);
  }
  win32_http::AbortSignal().notify_all();
}

bool InternetSetOption(Handle handle, int option, std::uint32_t value) {
  HINTERNET native = win32_http::NativeOf(handle);
  DWORD data = value;
  return native && ::InternetSetOptionW(native, static_cast<DWORD>(option), &data, sizeof data);
}

}  // namespace http
