// One message queue per thread: messages posted to the thread or its
// windows, and messages other threads send synchronously and wait for.
#pragma once

#include "platform/ui.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace ui::core {

struct ThreadQueue;

// A message (or a piece of work) that another thread waits for.
struct SentMessage {
  Window window = nullptr;
  unsigned message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  std::function<std::intptr_t()> job;  // when set, run instead of delivering a message
  std::intptr_t result = 0;
  bool done = false;  // guarded by replyTo->mutex
  std::shared_ptr<ThreadQueue> replyTo;
};

struct ThreadQueue {
  ThreadId id = 0;
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<Msg> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool alive = true;
  // While the thread waits for its front end: when it looks at its queue
  // again by itself (max: only when woken). min while it does not wait: it
  // looks at its queue before it waits again.
  std::chrono::steady_clock::time_point looksBy = std::chrono::steady_clock::time_point::min();
};

ThreadId CurrentThreadId();
std::shared_ptr<ThreadQueue> CurrentQueue();
std::shared_ptr<ThreadQueue> QueueOf(ThreadId thread);

// Queues a posted message for `thread`; false when the thread has no queue.
bool PostTo(ThreadId thread, const Msg& msg);
// Delivers the message on `thread` and waits for its result, handling
// messages sent to the calling thread meanwhile (so two threads sending to
// each other do not deadlock). 0 when the thread is gone.
std::intptr_t SendTo(ThreadId thread, Window window, unsigned message, WParam wParam, LParam lParam);
// Runs `job` on `thread` inside its message loop and returns its result.
std::intptr_t RunOn(ThreadId thread, std::function<std::intptr_t()> job);

// Handles one message sent to the calling thread; false when none waits.
bool HandleOneSent();
// Takes the next posted message of the calling thread.
std::optional<Msg> TakePosted();
// Puts a message back at the front (a WM_QUIT that an inner loop must leave for the outer one).
void PushFront(const Msg& msg);
// Blocks on the calling thread's queue until something arrives or the time is up.
void WaitOnQueue(std::optional<std::chrono::steady_clock::time_point> until);
// Around a wait of the calling thread for its front end, which ends by
// `until` (none: only when woken). Begin returns false, and nothing is
// recorded, when a message already waits in the queue. Meanwhile a post
// wakes the front end only if the thread would otherwise look at its queue
// later than a frame from then, so that a stream of posts from workers does
// not wake it once per post.
bool BeginFrontEndWait(std::optional<std::chrono::steady_clock::time_point> until);
void EndFrontEndWait();

}  // namespace ui::core
