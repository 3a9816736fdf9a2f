// The HTTP client in the platform's terms: a session with a user agent, URLs
// opened whole, or a connection and a request built by hand; status and
// content length read as text; the body read in chunks.
//
// Handles are owned by the caller and closed with InternetCloseHandle;
// closing a session or connection does not close its children. Every call is
// safe from any thread; a handle is used by one thread at a time, except
// InternetAbort, which may be called from any thread at any time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace http {

struct HandleTag;
using Handle = HandleTag*;

inline constexpr int INTERNET_OPEN_TYPE_DIRECT = 1;  // no proxy, environment proxy settings ignored
inline constexpr std::uint32_t INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x00800000;  // HttpOpenRequest: use HTTPS
inline constexpr int HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr int HTTP_QUERY_STATUS_CODE = 19;
inline constexpr int INTERNET_OPTION_HTTP_DECODING = 65;
inline constexpr int INTERNET_SERVICE_HTTP = 3;
inline constexpr std::uint32_t HTTP_ADDREQ_FLAG_ADD_IF_NEW = 0x10000000;
inline constexpr std::uint16_t INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr std::uint16_t INTERNET_DEFAULT_HTTPS_PORT = 443;

// Time limits of one request, in milliseconds: connectMs for the connection
// (10 s by default), requestMs until the final response's headers are in
// (30 s by default; a body that then stalls that long fails its read).
// Tests may shorten them; they apply to requests opened afterwards.
struct Timeouts {
  long connectMs;
  long requestMs;
};
Timeouts GetTimeouts();
void SetTimeouts(Timeouts timeouts);

// A session. Null on failure.
Handle InternetOpen(std::u16string_view agent, int accessType);

// Opens a URL (http, https, ftp): for HTTP(S) a GET that follows redirects,
// checks certificates and returns once the final response's headers are in.
// Null when the URL cannot be opened (bad URL, unsupported scheme, no
// connection, rejected certificate, time-out, aborted).
Handle InternetOpenUrl(Handle session, std::u16string_view url, std::u16string_view headers, std::uint32_t flags);

// Reads a response header as text: HTTP_QUERY_STATUS_CODE, HTTP_QUERY_CONTENT_LENGTH.
// False (and `value` empty) when there is none.
bool HttpQueryInfo(Handle request, int infoLevel, std::u16string& value);

// Reads up to `size` bytes of the body; `*read` 0 means the end. False on failure.
bool InternetReadFile(Handle request, void* buffer, std::uint32_t size, std::uint32_t* read);

bool InternetSetOption(Handle handle, int option, std::uint32_t value);

void InternetCloseHandle(Handle handle);

// Makes every call under way on this handle (or on any handle opened from
// it) fail at once, and every later one too. Any thread.
void InternetAbort(Handle handle);

// The parts of a URL.
struct UrlComponents {
  std::u16string scheme;
  std::u16string hostName;
  std::uint16_t port = 0;  // from the URL, or the scheme's default
  std::u16string userName;
  std::u16string password;
  std::u16string urlPath;
  std::u16string extraInfo;  // "?query" and "#fragment"
};
bool InternetCrackUrl(std::u16string_view url, UrlComponents& parts);

Handle InternetConnect(Handle session, std::u16string_view host, std::uint16_t port, std::u16string_view user,
                       std::u16string_view password, int service, std::uint32_t flags);
// verb empty means GET; acceptTypes e.g. u"*/*".
Handle HttpOpenRequest(Handle connection, std::u16string_view verb, std::u16string_view objectName,
                       std::u16string_view acceptTypes, std::uint32_t flags);
bool HttpAddRequestHeaders(Handle request, std::u16string_view headers, std::uint32_t modifiers);
// Sends the request and returns once the response's headers are in.
bool HttpSendRequest(Handle request, std::u16string_view headers);

// The connectivity test: succeeds (true) when the machine has a network
// interface other than loopback that is up.
bool InternetAttemptConnect();

}  // namespace http
