#include "platform/posix/http/handle.h"
#include "platform/posix/http/transfer.h"
#include "platform/posix/http/url_text.h"

namespace http {

Handle InternetOpenUrl(Handle session, std::u16string_view url, std::u16string_view headers, std::uint32_t) {
  if (!session || session->kind != HandleKind::kSession || IsAborted(session->abort.get())) return nullptr;
  std::string target;
  std::vector<std::string> extra;
  if (!PrepareUrl(url, target) || !SplitHeaders(headers, extra)) return nullptr;
  Handle request = NewChild(session, HandleKind::kRequest);
  if (!PrepareTransfer(*request, target)) {
    delete request;
    return nullptr;
  }
  request->transfer->extraHeaders = std::move(extra);
  if (!RunUntilHeaders(*request)) {
    delete request;
    return nullptr;
  }
  return request;
}

}  // namespace http
