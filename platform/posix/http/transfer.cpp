#include "platform/posix/http/transfer.h"

#include <algorithm>
#include <cstring>

#include "platform/http.h"
#include "platform/posix/http/curl_handles.h"

namespace http {

namespace {

using Clock = std::chrono::steady_clock;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i], b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

std::string_view TrimLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

// curl hands every header line of every response here, redirects included;
// the final response is the first one that curl will not follow.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t length = size * count;
  if (!t->isHttp) return length;  // FTP server replies are not response headers
  std::string_view line = TrimLineEnd(std::string_view(data, length));
  if (StartsWithNoCase(line, "HTTP/")) {
    t->awaitingStatus = false;
    t->status = 0;
    t->hasLocation = false;
    t->headerLines.clear();
    std::size_t space = line.find(' ');
    if (space != std::string_view::npos) {
      long code = 0;
      for (std::size_t i = space + 1; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        code = code * 10 + (line[i] - '0');
      t->status = code;
    }
    return length;
  }
  if (line.empty()) {
    bool interim = t->status < 200;
    bool followed = t->status >= 300 && t->status < 400 && t->hasLocation;
    if (!interim && !followed) t->headersDone = true;
    return length;
  }
  if (StartsWithNoCase(line, "location:")) {
    std::string_view value = line.substr(9);
    t->hasLocation = value.find_first_not_of(" \t") != std::string_view::npos;
  }
  t->headerLines.emplace_back(line);
  return length;
}

// Called for every request that goes out, each redirect's included.
int OnRequestSent(void* user, char*, char*, int, int) {
  static_cast<Transfer*>(user)->awaitingStatus = true;
  return CURL_PREREQFUNC_OK;
}

// curl refuses an answer whose status line it cannot read; the platform
// client takes it as a response without a status (0), not as a failed
// connection. Its body is not offered.
bool UnreadableStatusLine(const Transfer& t) {
  return t.isHttp && t.awaitingStatus &&
         (t.result == CURLE_UNSUPPORTED_PROTOCOL || t.result == CURLE_WEIRD_SERVER_REPLY);
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t length = size * count;
  if (t->body.size() - t->bodyPos >= kBodyBufferLimit) {
    t->paused = true;
    t->pausedOnce = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  if (t->bodyPos == t->body.size()) {
    t->body.clear();
    t->bodyPos = 0;
  }
  t->body.append(data, length);
  return length;
}

bool ChainAborted(const Transfer& t) {
  for (const auto& node : t.abortChain)
    if (node->aborted.load()) return true;
  return false;
}

void Finish(Transfer& t, CURLcode result) {
  if (!t.done) {
    t.done = true;
    t.result = result;
  }
  if (t.started) {
    curl_multi_remove_handle(t.multi, t.easy);
    t.started = false;
  }
}

// Runs the transfer until `ready` holds, it ends, the deadline passes or the
// handle is aborted. True when `ready` holds.
template <typename Ready>
bool Pump(Transfer& t, bool bounded, Clock::time_point deadline, Ready ready) {
  for (;;) {
    if (ChainAborted(t)) {
      Finish(t, CURLE_ABORTED_BY_CALLBACK);
      return false;
    }
    if (t.done) return ready();
    int running = 0;
    if (curl_multi_perform(t.multi, &running) != CURLM_OK) {
      Finish(t, CURLE_FAILED_INIT);
      return false;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(t.multi, &left)) {
      if (msg->msg == CURLMSG_DONE) Finish(t, msg->data.result);
    }
    if (ready()) return true;
    if (t.done) return false;
    long waitMs = 200;  // also bounds how late an abort without wake-up is seen
    if (bounded) {
      auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (remaining <= 0) {
        Finish(t, CURLE_OPERATION_TIMEDOUT);
        return false;
      }
      waitMs = std::min<long>(waitMs, static_cast<long>(remaining));
    }
    curl_multi_poll(t.multi, nullptr, 0, static_cast<int>(waitMs), nullptr);
  }
}

// The options every transfer has alike; a spare easy handle keeps them.
void ShareOptions(CURL* e) {
  // An empty proxy means a direct connection whatever the environment says.
  curl_easy_setopt(e, CURLOPT_PROXY, "");
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 20L);  // a redirect loop fails instead of spinning
  // Certificates are always verified: a rejected one means the link cannot be opened.
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  // Closing a handle must not wait for a name lookup that hangs.
  curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
  // Every request gets its own connection, closed with the handle, so a
  // check never leaves a body streaming into a kept-alive connection.
  curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
  // The easy handle outlives the request (it serves the thread's next one);
  // a TLS session is not resumed by a later request either.
  curl_easy_setopt(e, CURLOPT_SSL_SESSIONID_CACHE, 0L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBody);
}

}  // namespace

Transfer::~Transfer() {
  for (const auto& node : abortChain) {
    std::lock_guard<std::mutex> lock(node->mutex);
    auto& w = node->waiters;
    w.erase(std::remove(w.begin(), w.end(), multi), w.end());
  }
  // Taking the easy handle out of a transfer still under way closes its
  // connection: an unread body never streams into a kept connection.
  if (multi && easy && started) curl_multi_remove_handle(multi, easy);
  ReturnCurlPair({easy, multi, true}, plain && !pausedOnce);
  if (headerList) curl_slist_free_all(headerList);
}

bool PrepareTransfer(HandleTag& request, const std::string& url) {
  CurlPair pair;
  if (!TakeCurlPair(pair)) return false;
  auto t = std::make_unique<Transfer>();
  t->easy = pair.easy;
  t->multi = pair.multi;
  t->isHttp = StartsWithNoCase(url, "http:") || StartsWithNoCase(url, "https:");

  CURL* e = t->easy;
  if (!pair.configured) ShareOptions(e);
  const Timeouts limits = GetTimeouts();
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_USERAGENT, request.agent.empty() ? nullptr : request.agent.c_str());
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, limits.connectMs);
  // The wait for the headers is bounded by requestMs in Pump; once the body
  // flows, only a stall of the same length ends it, so large downloads live.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, std::max(1L, (limits.requestMs + 999) / 1000));
  curl_easy_setopt(e, CURLOPT_HTTP_CONTENT_DECODING, request.decoding ? 1L : 0L);
  if (request.decoding) SetExtraOption(*t, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
  curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, OnRequestSent);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, t.get());

  for (std::shared_ptr<AbortNode> node = request.abort; node; node = node->parent) {
    std::lock_guard<std::mutex> lock(node->mutex);
    node->waiters.push_back(t->multi);
    t->abortChain.push_back(node);
  }
  request.transfer = std::move(t);
  return true;
}

bool RunUntilHeaders(HandleTag& request) {
  Transfer* t = request.transfer.get();
  if (!t || t->started || t->done) return false;
  for (const std::string& h : t->extraHeaders) t->headerList = curl_slist_append(t->headerList, h.c_str());
  if (t->headerList) SetExtraOption(*t, CURLOPT_HTTPHEADER, t->headerList);
  if (curl_multi_add_handle(t->multi, t->easy) != CURLM_OK) return false;
  t->started = true;
  const auto deadline = Clock::now() + std::chrono::milliseconds(GetTimeouts().requestMs);
  const bool ok = Pump(*t, true, deadline, [t] {
    if (t->isHttp) return t->headersDone;
    return t->bodyPos < t->body.size() || (t->done && t->result == CURLE_OK);
  });
  if (!ok) Finish(*t, t->done ? t->result : CURLE_RECV_ERROR);
  if (!ok && UnreadableStatusLine(*t)) {
    t->status = 0;
    t->headerLines.clear();
    t->opened = true;
    return true;
  }
  t->opened = ok;
  return ok;
}

bool ReadBody(HandleTag& request, void* buffer, std::uint32_t size, std::uint32_t* read) {
  if (read) *read = 0;
  Transfer* t = request.transfer.get();
  if (!t || !read || (!buffer && size > 0)) return false;
  if (!t->opened) return false;  // never sent, or failed before the headers
  while (t->bodyPos == t->body.size()) {
    if (t->done || ChainAborted(*t)) {
      if (ChainAborted(*t)) Finish(*t, CURLE_ABORTED_BY_CALLBACK);
      return t->result == CURLE_OK;
    }
    t->body.clear();
    t->bodyPos = 0;
    if (t->paused) {
      // Unpausing may hand over the held-back data at once.
      t->paused = false;
      curl_easy_pause(t->easy, CURLPAUSE_CONT);
      continue;
    }
    Pump(*t, false, Clock::time_point{}, [t] { return t->bodyPos < t->body.size() || t->done; });
  }
  const std::size_t n = std::min<std::size_t>(size, t->body.size() - t->bodyPos);
  std::memcpy(buffer, t->body.data() + t->bodyPos, n);
  t->bodyPos += n;
  *read = static_cast<std::uint32_t>(n);
  return true;
}

bool FindHeader(const Transfer& transfer, std::string_view name, std::string& value) {
  for (const std::string& line : transfer.headerLines) {
    if (line.size() > name.size() && line[name.size()] == ':' && StartsWithNoCase(line, name)) {
      std::string_view v = std::string_view(line).substr(name.size() + 1);
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      value.assign(v);
      return true;
    }
  }
  return false;
}

}  // namespace http
