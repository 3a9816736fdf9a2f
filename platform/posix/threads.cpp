#include "platform/threads.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace threads {

struct Thread::State {
  std::thread thread;
};

Thread::Thread() : state_(std::make_unique<State>()) {}
Thread::~Thread() {
  if (state_) Join();
}
Thread::Thread(Thread&&) noexcept = default;
Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    if (state_) Join();
    state_ = std::move(other.state_);
  }
  return *this;
}

bool Thread::Start(void (*procedure)(void*), void* argument) {
  if (!state_) state_ = std::make_unique<State>();
  Join();
  try {
    state_->thread = std::thread(procedure, argument);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void Thread::Join() {
  if (state_ && state_->thread.joinable()) state_->thread.join();
}

struct Event::State {
  std::mutex m;
  std::condition_variable cv;
  bool manual;
  bool set;
};

Event::Event(bool manualReset, bool signalled) : state_(new State{{}, {}, manualReset, signalled}) {}
Event::~Event() = default;

void Event::Set() {
  {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->set = true;
  }
  state_->cv.notify_all();
}

void Event::Reset() {
  std::lock_guard<std::mutex> lock(state_->m);
  state_->set = false;
}

void Event::Wait() {
  std::unique_lock<std::mutex> lock(state_->m);
  state_->cv.wait(lock, [&] { return state_->set; });
  if (!state_->manual) state_->set = false;
}

struct CriticalSection::State {
  std::mutex m;
};

CriticalSection::CriticalSection() : state_(std::make_unique<State>()) {}
CriticalSection::~CriticalSection() = default;

void CriticalSection::Enter() { state_->m.lock(); }
void CriticalSection::Leave() { state_->m.unlock(); }

}  // namespace threads
