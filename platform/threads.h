// Events and critical sections in the platform's terms, on the standard
// library's threads, mutexes and condition variables.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace threads {

// A manual-reset or auto-reset event.
class Event {
 public:
  Event(bool manualReset, bool signalled) : manual_(manualReset), set_(signalled) {}
  void Set() {
    { std::lock_guard<std::mutex> lock(m_); set_ = true; }
    cv_.notify_all();
  }
  void Reset() { std::lock_guard<std::mutex> lock(m_); set_ = false; }
  bool IsSet() { std::lock_guard<std::mutex> lock(m_); return set_; }
  // Waits until signalled (an auto-reset event is then reset).
  void Wait() {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return set_; });
    if (!manual_) set_ = false;
  }
  // Waits at most `ms` milliseconds; true when signalled.
  bool WaitFor(long ms) {
    std::unique_lock<std::mutex> lock(m_);
    if (!cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return set_; })) return false;
    if (!manual_) set_ = false;
    return true;
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool manual_;
  bool set_;
};

// A critical section: a plain mutex with the platform's Enter/Leave names.
class CriticalSection {
 public:
  void Enter() { m_.lock(); }
  void Leave() { m_.unlock(); }
  std::mutex& native() { return m_; }

 private:
  std::mutex m_;
};

}  // namespace threads
