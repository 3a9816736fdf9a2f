#include <atomic>

#include "platform/http.h"

namespace http {

namespace {
// A host that does not answer the connection attempt costs 10 s; a server
// that accepts but sends no headers costs 30 s. Live but slow sites answer
// well inside both, and a check of hundreds of links through three workers
// is not held up for minutes by a few dead hosts.
std::atomic<long> connectLimitMs{10'000};
std::atomic<long> requestLimitMs{30'000};
}  // namespace

Timeouts GetTimeouts() { return Timeouts{connectLimitMs.load(), requestLimitMs.load()}; }

void SetTimeouts(Timeouts timeouts) {
  connectLimitMs.store(timeouts.connectMs > 0 ? timeouts.connectMs : 1);
  requestLimitMs.store(timeouts.requestMs > 0 ? timeouts.requestMs : 1);
}

}  // namespace http
