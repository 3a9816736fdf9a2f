// URLs taken apart, and requests built by hand on a connection.
#include "platform/win32/http/handle.h"

#include <vector>

namespace http {

using win32_http::Adopt;
using win32_http::NativeOf;

bool InternetCrackUrl(std::u16string_view url, UrlComponents& parts) {
  parts = UrlComponents{};
  if (url.empty()) return false;
  const std::wstring wide = win32::Wide(url);
  // Each part fits in a buffer as long as the whole URL.
  const DWORD room = static_cast<DWORD>(wide.size() + 1);
  std::vector<wchar_t> scheme(room), host(room), user(room), password(room), path(room), extra(room);
  URL_COMPONENTSW c{};
  c.dwStructSize = sizeof c;
  c.lpszScheme = scheme.data();
  c.dwSchemeLength = room;
  c.lpszHostName = host.data();
  c.dwHostNameLength = room;
  c.lpszUserName = user.data();
  c.dwUserNameLength = room;
  c.lpszPassword = password.data();
  c.dwPasswordLength = room;
  c.lpszUrlPath = path.data();
  c.dwUrlPathLength = room;
  c.lpszExtraInfo = extra.data();
  c.dwExtraInfoLength = room;
  if (!::InternetCrackUrlW(wide.c_str(), 0, 0, &c)) return false;
  parts.scheme = win32::FromWide(scheme.data(), c.dwSchemeLength);
  parts.hostName = win32::FromWide(host.data(), c.dwHostNameLength);
  parts.port = c.nPort;
  parts.userName = win32::FromWide(user.data(), c.dwUserNameLength);
  parts.password = win32::FromWide(password.data(), c.dwPasswordLength);
  parts.urlPath = win32::FromWide(path.data(), c.dwUrlPathLength);
  parts.extraInfo = win32::FromWide(extra.data(), c.dwExtraInfoLength);
  return true;
}

Handle InternetConnect(Handle session, std::u16string_view host, std::uint16_t port, std::u16string_view user,
                       std::u16string_view password, int service, std::uint32_t flags) {
  HINTERNET native = NativeOf(session);
  if (!native) return nullptr;
  const std::wstring userName = win32::Wide(user), secret = win32::Wide(password);
  HINTERNET connection =
      ::InternetConnectW(native, win32::Wide(host).c_str(), port, userName.empty() ? nullptr : userName.c_str(),
                         secret.empty() ? nullptr : secret.c_str(), static_cast<DWORD>(service), flags, 0);
  return Adopt(connection, session);
}

Handle HttpOpenRequest(Handle connection, std::u16string_view verb, std::u16string_view objectName,
                       std::u16string_view acceptTypes, std::uint32_t flags) {
  HINTERNET native = NativeOf(connection);
  if (!native) return nullptr;
  const std::wstring method = win32::Wide(verb), object = win32::Wide(objectName), accept = win32::Wide(acceptTypes);
  const wchar_t* acceptList[] = {accept.c_str(), nullptr};
  HINTERNET request = ::HttpOpenRequestW(native, method.empty() ? nullptr : method.c_str(), object.c_str(), nullptr,
                                         nullptr, accept.empty() ? nullptr : acceptList, flags, 0);
  return Adopt(request, connection);
}

bool HttpAddRequestHeaders(Handle request, std::u16string_view headers, std::uint32_t modifiers) {
  HINTERNET native = NativeOf(request);
  return native && ::HttpAddRequestHeadersW(native, win32::Wide(headers).c_str(), static_cast<DWORD>(-1), modifiers);
}

bool HttpSendRequest(Handle request, std::u16string_view headers) {
  HINTERNET native = NativeOf(request);
  if (!native) return false;
  const std::wstring extra = win32::Wide(headers);
  BOOL sent = FALSE;
  bool finished = win32_http::RunAbortable<BOOL>(
      request,
      [=] {
        return ::HttpSendRequestW(native, extra.empty() ? nullptr : extra.c_str(),
                                  extra.empty() ? 0 : static_cast<DWORD>(-1), nullptr, 0);
      },
      nullptr, sent);
  return finished && sent && NativeOf(request) != nullptr;
}

}  // namespace http
