// Sessions, connections, closing, aborting and the per-handle options.
#include <mutex>

#include "platform/posix/http/handle.h"
#include "platform/posix/http/transfer.h"
#include "platform/posix/http/url_text.h"
#include "platform/text.h"

namespace http {

HandleTag::HandleTag() = default;
HandleTag::~HandleTag() = default;

void EnsureCurl() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsAborted(const AbortNode* node) {
  for (; node; node = node->parent.get())
    if (node->aborted.load()) return true;
  return false;
}

Handle NewChild(Handle parent, HandleKind kind) {
  auto* child = new HandleTag;
  child->kind = kind;
  child->agent = parent->agent;
  child->decoding = parent->decoding;
  child->abort->parent = parent->abort;
  if (kind == HandleKind::kRequest) {
    child->host = parent->host;
    child->port = parent->port;
    child->user = parent->user;
    child->password = parent->password;
  }
  return child;
}

Handle InternetOpen(std::u16string_view agent, int accessType) {
  // Only direct connections exist here: proxies from the environment are never used.
  if (accessType != INTERNET_OPEN_TYPE_DIRECT) return nullptr;
  EnsureCurl();
  auto* session = new HandleTag;
  session->kind = HandleKind::kSession;
  std::string bytes = text::Utf16ToUtf8(agent);
  if (HasControl(bytes)) return (delete session, nullptr);  // would end up in a header line
  session->agent = std::move(bytes);
  return session;
}

Handle InternetConnect(Handle session, std::u16string_view host, std::uint16_t port, std::u16string_view user,
                       std::u16string_view password, int service, std::uint32_t) {
  if (!session || session->kind != HandleKind::kSession || IsAborted(session->abort.get())) return nullptr;
  if (service != INTERNET_SERVICE_HTTP) return nullptr;
  std::string h = text::Utf16ToUtf8(host);
  if (h.size() > 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
  if (h.empty() || HasControl(h) || h.find_first_of(" /?#@[]\\") != std::string::npos) return nullptr;
  std::string u = text::Utf16ToUtf8(user), p = text::Utf16ToUtf8(password);
  if (HasControl(u) || HasControl(p)) return nullptr;
  Handle connection = NewChild(session, HandleKind::kConnection);
  connection->host = std::move(h);
  connection->port = port;
  connection->user = std::move(u);
  connection->password = std::move(p);
  return connection;
}

void InternetCloseHandle(Handle handle) { delete handle; }

void InternetAbort(Handle handle) {
  if (!handle) return;
  AbortNode& node = *handle->abort;
  node.aborted.store(true);
  std::lock_guard<std::mutex> lock(node.mutex);
  for (CURLM* multi : node.waiters) curl_multi_wakeup(multi);
}

bool InternetSetOption(Handle handle, int option, std::uint32_t value) {
  if (!handle) return false;
  if (option != INTERNET_OPTION_HTTP_DECODING) return false;
  handle->decoding = value != 0;
  // A transfer under way keeps the switch it started with; one not yet sent
  // takes the new value.
  if (handle->transfer && !handle->transfer->started && !handle->transfer->done) {
    SetExtraOption(*handle->transfer, CURLOPT_ACCEPT_ENCODING, value ? "" : nullptr);
    SetExtraOption(*handle->transfer, CURLOPT_HTTP_CONTENT_DECODING, value ? 1L : 0L);
  }
  return true;
}

}  // namespace http
