#include "platform/posix/http/handle.h"
#include "platform/posix/http/transfer.h"
#include "platform/text.h"

namespace http {

bool HttpQueryInfo(Handle request, int infoLevel, std::u16string& value) {
  value.clear();
  if (!request || !request->transfer || !request->transfer->opened) return false;
  const Transfer& t = *request->transfer;
  if (!t.isHttp) return false;  // FTP has neither a status code nor headers
  if (infoLevel == HTTP_QUERY_STATUS_CODE) {
    value = text::AsciiWiden(std::to_string(t.status));
    return true;
  }
  if (infoLevel == HTTP_QUERY_CONTENT_LENGTH) {
    std::string length;
    if (!FindHeader(t, "content-length", length)) return false;
    value = text::Utf8ToUtf16(length);
    return true;
  }
  return false;
}

bool InternetReadFile(Handle request, void* buffer, std::uint32_t size, std::uint32_t* read) {
  if (!request) {
    if (read) *read = 0;
    return false;
  }
  return ReadBody(*request, buffer, size, read);
}

}  // namespace http
