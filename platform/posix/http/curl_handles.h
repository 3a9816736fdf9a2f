// The curl easy and multi handles behind a transfer, kept by each thread
// between its requests.
//
// Setting the pair up (allocating curl's state, the multi handle's wake-up
// socket pair and caches) and setting every option again cost more than a
// request to a fast server, and a link check opens one request per link. A
// finished transfer's pair therefore goes back to the thread that closed it
// and serves that thread's next transfer. A plain transfer (a GET with the
// options every transfer gets) leaves only those options behind, which the
// next one sets again where they differ; any other is reset to curl's
// defaults first, so nothing of a previous request carries over.
// Connections are never kept (every transfer forbids their reuse), so a new
// transfer still opens its own; what does carry over is the multi handle's
// cache of name lookups, for as long as curl keeps them.
#pragma once

#include <curl/curl.h>

namespace http {

struct CurlPair {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  bool configured = false;  // the easy handle carries the options every transfer shares
};

// A pair for a new transfer: the calling thread's spare one, or a new one.
// False (and nothing held) when curl cannot set one up.
bool TakeCurlPair(CurlPair& pair);

// Takes back a pair whose easy handle is no longer part of any transfer
// (removed from its multi handle); `plain` as above. The calling thread keeps
// it as its spare, or cleans it up when it already has one.
void ReturnCurlPair(CurlPair pair, bool plain);

}  // namespace http
