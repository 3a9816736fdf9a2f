// What an http::Handle points at: a session, a connection or a request, with
// the abort flags that tie a handle to the one it was opened from.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http.h"

namespace http {

// One per handle. A handle opened from another keeps its parent's node alive,
// so aborting a session still reaches requests that outlive the session.
struct AbortNode {
  std::atomic<bool> aborted{false};
  std::shared_ptr<AbortNode> parent;
  std::mutex mutex;
  std::vector<CURLM*> waiters;  // transfers to wake when aborted
};

bool IsAborted(const AbortNode* node);

struct Transfer;

enum class HandleKind { kSession, kConnection, kRequest };

struct HandleTag {
  HandleKind kind = HandleKind::kSession;
  std::shared_ptr<AbortNode> abort = std::make_shared<AbortNode>();
  std::string agent;  // UTF-8, copied into every handle opened from this one
  int decoding = 0;   // content decoding (gzip, deflate) of the body

  // Connection.
  std::string host;  // UTF-8; IPv6 literals without brackets
  std::uint16_t port = 0;
  std::string user;
  std::string password;

  // Request (one transfer each).
  std::unique_ptr<Transfer> transfer;

  HandleTag();
  ~HandleTag();
};

// A new handle of `kind` opened from `parent` (inheriting its agent, decoding
// switch and abort chain).
Handle NewChild(Handle parent, HandleKind kind);

// Makes sure curl's global state is set up, once per process.
void EnsureCurl();

}  // namespace http
