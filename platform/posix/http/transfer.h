// One HTTP(S) or FTP transfer driven on its own curl multi handle: run until
// the final response's headers are in, then hand out the body on demand.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/http/handle.h"

namespace http {

struct Transfer {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headerList = nullptr;
  std::vector<std::shared_ptr<AbortNode>> abortChain;  // the request's node and its ancestors
  std::vector<std::string> extraHeaders;               // "Name: value", checked for line breaks

  bool isHttp = true;
  bool plain = true;  // nothing set beyond what PrepareTransfer sets for every request
  bool started = false;
  bool headersDone = false;
  bool opened = false;  // the headers (or for FTP the first bytes) are in
  bool done = false;
  CURLcode result = CURLE_OK;
  // A request went out and no status line has come back for it yet.
  bool awaitingStatus = false;

  // The response being received; on a followed redirect, replaced by the next.
  long status = 0;
  bool hasLocation = false;
  std::vector<std::string> headerLines;  // of the final response once headersDone

  // Body bytes received but not yet read; the transfer pauses while this
  // holds kBodyBufferLimit bytes, so nothing is fetched ahead of the reader.
  std::string body;
  std::size_t bodyPos = 0;
  bool paused = false;
  bool pausedOnce = false;  // curl's pause state is not left to a later request

  ~Transfer();
};

inline constexpr std::size_t kBodyBufferLimit = 64 * 1024;

// Prepares `request` (an empty request handle) to fetch `url` (UTF-8, already
// checked). False when curl cannot even be set up.
bool PrepareTransfer(HandleTag& request, const std::string& url);

// Every option beyond those PrepareTransfer sets goes through here, so that
// the easy handle is reset before it serves another request.
template <typename Value>
void SetExtraOption(Transfer& transfer, CURLoption option, Value value) {
  transfer.plain = false;
  curl_easy_setopt(transfer.easy, option, value);
}

// Starts the transfer and runs it until the final response's headers are in
// (or, for FTP, the first body bytes or the end). False on failure, time-out
// or abort; the transfer is then finished and cannot be read.
bool RunUntilHeaders(HandleTag& request);

// Reads up to `size` body bytes; `read` 0 at the end. False on failure.
bool ReadBody(HandleTag& request, void* buffer, std::uint32_t size, std::uint32_t* read);

// The value of the final response's header `name` (case-insensitive); false if absent.
bool FindHeader(const Transfer& transfer, std::string_view name, std::string& value);

}  // namespace http
