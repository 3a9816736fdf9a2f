// Threads, events and critical sections in the platform's terms: on
// Windows the system's own (CreateThread, CreateEventW, CRITICAL_SECTION),
// on Linux the standard library's threads, mutexes and condition variables.
#pragma once

#include <memory>

namespace threads {

// A thread that runs one procedure with one pointer argument, with the
// default stack size. It must be joined before it is destroyed or given a
// new one to run (the destructor joins one still running).
class Thread {
 public:
  Thread();
  ~Thread();
  Thread(Thread&&) noexcept;
  Thread& operator=(Thread&&) noexcept;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // False, with nothing started, when the system cannot start a thread.
  bool Start(void (*procedure)(void*), void* argument);
  // Waits until the procedure has returned. Nothing to do when none runs.
  void Join();

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// A manual-reset or auto-reset event. Any thread may set, reset or wait.
class Event {
 public:
  Event(bool manualReset, bool signalled);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // Waits without time limit until signalled (an auto-reset event is then
  // reset again, for this one waiter).
  void Wait();

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// A critical section: held by one thread at a time, Entered and Left by the
// same thread.
class CriticalSection {
 public:
  CriticalSection();
  ~CriticalSection();
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter();
  void Leave();

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace threads
