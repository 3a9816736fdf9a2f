#include "platform/posix/http/curl_handles.h"

#include "platform/posix/http/handle.h"

namespace http {

namespace {

void Cleanup(CurlPair& pair) {
  if (pair.easy) curl_easy_cleanup(pair.easy);
  if (pair.multi) curl_multi_cleanup(pair.multi);
  pair = CurlPair{};
}

// One spare pair per thread: a thread runs one transfer at a time in the
// common case, and a thread that ends takes its spare with it.
struct Spare {
  CurlPair pair;
  ~Spare() { Cleanup(pair); }
};

Spare& ThreadSpare() {
  thread_local Spare spare;
  return spare;
}

}  // namespace

bool TakeCurlPair(CurlPair& pair) {
  Spare& spare = ThreadSpare();
  if (spare.pair.easy) {
    pair = spare.pair;
    spare.pair = CurlPair{};
    return true;
  }
  EnsureCurl();
  pair.easy = curl_easy_init();
  pair.multi = curl_multi_init();
  pair.configured = false;
  if (pair.easy && pair.multi) return true;
  Cleanup(pair);
  return false;
}

void ReturnCurlPair(CurlPair pair, bool plain) {
  if (!pair.easy || !pair.multi) {
    Cleanup(pair);
    return;
  }
  Spare& spare = ThreadSpare();
  if (spare.pair.easy) {
    Cleanup(pair);
    return;
  }
  if (!plain) {
    curl_easy_reset(pair.easy);
    pair.configured = false;
  }
  spare.pair = pair;
}

}  // namespace http
