// The system's threads, events and critical sections behind the platform
// layer: what the check workers' pause and hand-out rely on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/threads.h"

namespace {

struct Shared {
  threads::Event* gate;
  threads::CriticalSection* lock;
  std::atomic<int> passed{0};
  int counted = 0;  // only under the lock
};

void PassGateAndCount(void* argument) {
  auto* shared = static_cast<Shared*>(argument);
  shared->gate->Wait();
  ++shared->passed;
  for (int i = 0; i < 10000; ++i) {
    shared->lock->Enter();
    ++shared->counted;
    shared->lock->Leave();
  }
}

// How many have passed once at least `atLeast` have (or ten seconds went
// by) and a moment more has given any others the time to follow.
int PassedOnceSettled(const Shared& shared, int atLeast) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (shared.passed.load() < atLeast && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return shared.passed.load();
}

TEST(Threads, EventsLetWaitersThroughAsTheirKindSaysAndTheLockKeepsCountsWhole) {
  threads::CriticalSection lock;
  // Reset, a manual-reset event holds every waiter; set, it lets them all through.
  threads::Event manual(true, false);
  Shared shared{&manual, &lock};
  std::vector<threads::Thread> workers(3);
  for (threads::Thread& worker : workers) ASSERT_TRUE(worker.Start(PassGateAndCount, &shared));
  EXPECT_EQ(PassedOnceSettled(shared, 0), 0);
  manual.Set();
  for (threads::Thread& worker : workers) worker.Join();
  EXPECT_EQ(shared.passed.load(), 3);
  EXPECT_EQ(shared.counted, 30000);

  // An auto-reset event lets one waiter through for each Set.
  threads::Event single(false, false);
  Shared one{&single, &lock};
  for (threads::Thread& worker : workers) ASSERT_TRUE(worker.Start(PassGateAndCount, &one));
  for (int expected = 1; expected <= 3; ++expected) {
    single.Set();
    EXPECT_EQ(PassedOnceSettled(one, expected), expected);
  }
  for (threads::Thread& worker : workers) worker.Join();
  EXPECT_EQ(one.passed.load(), 3);
}

}  // namespace
