// Requests built by hand: connection, object name, headers, then send.
#include <algorithm>

#include "platform/posix/http/handle.h"
#include "platform/posix/http/transfer.h"
#include "platform/posix/http/url_text.h"
#include "platform/text.h"

namespace http {

namespace {

std::string HeaderName(const std::string& line) {
  std::string name = line.substr(0, line.find(':'));
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

bool IsVerb(std::string_view verb) {
  if (verb.empty()) return false;
  return std::all_of(verb.begin(), verb.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

Handle HttpOpenRequest(Handle connection, std::u16string_view verb, std::u16string_view objectName,
                       std::u16string_view acceptTypes, std::uint32_t flags) {
  if (!connection || connection->kind != HandleKind::kConnection || IsAborted(connection->abort.get())) return nullptr;
  std::string object, method = text::Utf16ToUtf8(verb);
  if (!PrepareObjectName(objectName, object)) return nullptr;
  if (!method.empty() && !IsVerb(method)) return nullptr;
  std::string accept = text::Utf16ToUtf8(acceptTypes);
  if (HasControl(accept)) return nullptr;

  const bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
  std::string url = secure ? "https://" : "http://";
  url += connection->host.find(':') != std::string::npos ? "[" + connection->host + "]" : connection->host;
  const std::uint16_t port = connection->port ? connection->port
                                              : (secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
  url += ":" + std::to_string(port) + object;

  Handle request = NewChild(connection, HandleKind::kRequest);
  if (!PrepareTransfer(*request, url)) {
    delete request;
    return nullptr;
  }
  Transfer& t = *request->transfer;
  if (!request->user.empty() || !request->password.empty()) {
    SetExtraOption(t, CURLOPT_USERNAME, request->user.c_str());
    SetExtraOption(t, CURLOPT_PASSWORD, request->password.c_str());
  }
  if (method == "HEAD") {
    SetExtraOption(t, CURLOPT_NOBODY, 1L);
  } else if (!method.empty() && method != "GET") {
    SetExtraOption(t, CURLOPT_CUSTOMREQUEST, method.c_str());
  }
  if (!accept.empty()) request->transfer->extraHeaders.push_back("Accept: " + accept);
  return request;
}

bool HttpAddRequestHeaders(Handle request, std::u16string_view headers, std::uint32_t modifiers) {
  if (!request || !request->transfer || request->transfer->started || request->transfer->done) return false;
  std::vector<std::string> lines;
  if (!SplitHeaders(headers, lines)) return false;
  auto& extra = request->transfer->extraHeaders;
  for (const std::string& line : lines) {
    const std::string name = HeaderName(line);
    const bool present =
        std::any_of(extra.begin(), extra.end(), [&](const std::string& h) { return HeaderName(h) == name; });
    if ((modifiers & HTTP_ADDREQ_FLAG_ADD_IF_NEW) && present) continue;
    extra.push_back(line);
  }
  return true;
}

bool HttpSendRequest(Handle request, std::u16string_view headers) {
  if (!request || request->kind != HandleKind::kRequest || !request->transfer) return false;
  if (IsAborted(request->abort.get())) return false;
  if (!headers.empty() && !HttpAddRequestHeaders(request, headers, 0)) return false;
  return RunUntilHeaders(*request);
}

}  // namespace http
