// Sessions, whole URLs, response headers and bodies through WinINet.
#include "platform/win32/http/handle.h"

namespace http {

using win32_http::Adopt;
using win32_http::NativeOf;

Handle InternetOpen(std::u16string_view agent, int accessType) {
  HINTERNET session = ::InternetOpenW(win32::Wide(agent).c_str(), static_cast<DWORD>(accessType), nullptr, nullptr, 0);
  if (session) win32_http::ApplyTimeouts(session);
  return Adopt(session, nullptr);
}

Handle InternetOpenUrl(Handle session, std::u16string_view url, std::u16string_view headers, std::uint32_t flags) {
  HINTERNET native = NativeOf(session);
  if (!native || url.empty()) return nullptr;
  const std::wstring extra = win32::Wide(headers), address = win32::Wide(url);
  HINTERNET request = nullptr;
  bool finished = win32_http::RunAbortable<HINTERNET>(
      session,
      [=] {
        return ::InternetOpenUrlW(native, address.c_str(), extra.empty() ? nullptr : extra.c_str(),
                                  extra.empty() ? 0 : static_cast<DWORD>(-1), flags, 0);
      },
      [](HINTERNET late) {
        if (late) ::InternetCloseHandle(late);
      },
      request);
  return finished ? Adopt(request, session) : nullptr;
}

bool HttpQueryInfo(Handle request, int infoLevel, std::u16string& value) {
  value.clear();
  HINTERNET native = NativeOf(request);
  if (!native) return false;
  std::wstring buffer(64, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD index = 0;
    if (::HttpQueryInfoW(native, static_cast<DWORD>(infoLevel), buffer.data(), &size, &index)) {
      value = win32::FromWide(buffer.data(), size / sizeof(wchar_t));
      return true;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
  }
}

bool InternetReadFile(Handle request, void* buffer, std::uint32_t size, std::uint32_t* read) {
  *read = 0;
  HINTERNET native = NativeOf(request);
  if (!native) return false;
  // Reads are left to the receive time-out: nothing aborts a download, and
  // the check never reads a body.
  DWORD got = 0;
  if (!::InternetReadFile(native, buffer, size, &got)) return false;
  // A read that ends because the family was aborted reports an end, not data.
  if (!NativeOf(request)) return false;
  *read = got;
  return true;
}

}  // namespace http
