#include "platform/posix/ui/thread_queue.h"

#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/window_procedures.h"

#include <atomic>
#include <map>

namespace ui::core {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<ThreadId, std::shared_ptr<ThreadQueue>> queues;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // outlives every thread
  return *registry;
}

std::atomic<ThreadId> nextThreadId{1};

void Reply(SentMessage& sent, std::intptr_t result) {
  std::shared_ptr<ThreadQueue> replyTo = sent.replyTo;
  {
    std::lock_guard<std::mutex> lock(replyTo->mutex);
    sent.result = result;
    sent.done = true;
  }
  replyTo->cv.notify_all();
}

// The calling thread's queue, created on first use and retired when the
// thread ends: whoever still waits for an answer from it gets 0.
struct ThreadSlot {
  ThreadId id = nextThreadId.fetch_add(1);
  std::shared_ptr<ThreadQueue> queue;
  ThreadSlot() {
    queue = std::make_shared<ThreadQueue>();
    queue->id = id;
    std::lock_guard<std::mutex> lock(TheRegistry().mutex);
    TheRegistry().queues[id] = queue;
  }
  ~ThreadSlot() {
    {
      std::lock_guard<std::mutex> lock(TheRegistry().mutex);
      TheRegistry().queues.erase(id);
    }
    std::deque<std::shared_ptr<SentMessage>> orphans;
    {
      std::lock_guard<std::mutex> lock(queue->mutex);
      queue->alive = false;
      orphans.swap(queue->sent);
      queue->posted.clear();
    }
    for (auto& sent : orphans) Reply(*sent, 0);
  }
};

ThreadSlot& Slot() {
  thread_local ThreadSlot slot;
  return slot;
}

void Wake(ThreadQueue& queue) {
  queue.cv.notify_all();
  WakeFrontEndFor(queue.id);
}

std::intptr_t SendAndWait(ThreadId thread, const std::shared_ptr<SentMessage>& sent) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::shared_ptr<ThreadQueue> target = QueueOf(thread);
  if (!target) return 0;
  sent->replyTo = self;
  {
    std::lock_guard<std::mutex> lock(target->mutex);
    if (!target->alive) return 0;
    target->sent.push_back(sent);
  }
  Wake(*target);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(self->mutex);
      self->cv.wait(lock, [&] { return sent->done || !self->sent.empty(); });
      if (sent->done) return sent->result;
    }
    HandleOneSent();
  }
}

}  // namespace

ThreadId CurrentThreadId() { return Slot().id; }


std::shared_ptr<ThreadQueue> CurrentQueue() { return Slot().queue; }

std::shared_ptr<ThreadQueue> QueueOf(ThreadId thread) {
  std::lock_guard<std::mutex> lock(TheRegistry().mutex);
  auto it = TheRegistry().queues.find(thread);
  return it == TheRegistry().queues.end() ? nullptr : it->second;
}

bool PostTo(ThreadId thread, const Msg& msg) {
  std::shared_ptr<ThreadQueue> queue = QueueOf(thread);
  if (!queue) return false;
  bool wakeFrontEnd = false;
  {
    std::lock_guard<std::mutex> lock(queue->mutex);
    if (!queue->alive) return false;
    queue->posted.push_back(msg);
    // A thread that looks at its queue within a frame anyway is not woken:
    // workers posting thousands of results a second would otherwise wake the
    // UI thread (and be preempted by it) once per result.
    const auto looksBy = queue->looksBy;
    if (looksBy != std::chrono::steady_clock::time_point::min())
      wakeFrontEnd = looksBy > std::chrono::steady_clock::now() + frontend::kFrameInterval;
  }
  queue->cv.notify_all();
  if (wakeFrontEnd) WakeFrontEndFor(queue->id);
  return true;
}

std::intptr_t SendTo(ThreadId thread, Window window, unsigned message, WParam wParam, LParam lParam) {
  auto sent = std::make_shared<SentMessage>();
  sent->window = window;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  return SendAndWait(thread, sent);
}

std::intptr_t RunOn(ThreadId thread, std::function<std::intptr_t()> job) {
  if (thread == CurrentThreadId()) return job();
  auto sent = std::make_shared<SentMessage>();
  sent->job = std::move(job);
  return SendAndWait(thread, sent);
}

bool HandleOneSent() {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::shared_ptr<SentMessage> sent;
  {
    std::lock_guard<std::mutex> lock(self->mutex);
    if (self->sent.empty()) return false;
    sent = std::move(self->sent.front());
    self->sent.pop_front();
  }
  std::intptr_t result =
      sent->job ? sent->job() : CallWindow(sent->window, sent->message, sent->wParam, sent->lParam);
  Reply(*sent, result);
  return true;
}

std::optional<Msg> TakePosted() {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::lock_guard<std::mutex> lock(self->mutex);
  if (self->posted.empty()) return std::nullopt;
  Msg msg = self->posted.front();
  self->posted.pop_front();
  return msg;
}

void PushFront(const Msg& msg) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::lock_guard<std::mutex> lock(self->mutex);
  self->posted.push_front(msg);
}

void WaitOnQueue(std::optional<std::chrono::steady_clock::time_point> until) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::unique_lock<std::mutex> lock(self->mutex);
  auto ready = [&] { return !self->posted.empty() || !self->sent.empty(); };
  if (until)
    self->cv.wait_until(lock, *until, ready);
  else
    self->cv.wait(lock, ready);
}

bool BeginFrontEndWait(std::optional<std::chrono::steady_clock::time_point> until) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::lock_guard<std::mutex> lock(self->mutex);
  if (!self->posted.empty() || !self->sent.empty()) return false;
  self->looksBy = until ? *until : std::chrono::steady_clock::time_point::max();
  return true;
}

void EndFrontEndWait() {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  std::lock_guard<std::mutex> lock(self->mutex);
  self->looksBy = std::chrono::steady_clock::time_point::min();
}

}  // namespace ui::core

namespace ui {
ThreadId GetCurrentThreadId() { return core::CurrentThreadId(); }
}  // namespace ui
