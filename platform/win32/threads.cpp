// Threads, events and critical sections are the system's own.
#include "platform/win32/windows_api.h"

#include "platform/threads.h"

namespace threads {

struct Thread::State {
  HANDLE thread = nullptr;
};

namespace {

struct Launch {
  void (*procedure)(void*);
  void* argument;
};

DWORD WINAPI Run(LPVOID parameter) {
  const Launch launch = *static_cast<Launch*>(parameter);
  delete static_cast<Launch*>(parameter);
  launch.procedure(launch.argument);
  return 0;
}

}  // namespace

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
  auto* launch = new Launch{procedure, argument};
  state_->thread = ::CreateThread(nullptr, 0, Run, launch, 0, nullptr);
  if (state_->thread) return true;
  delete launch;
  return false;
}

void Thread::Join() {
  if (!state_ || !state_->thread) return;
  ::WaitForSingleObject(state_->thread, INFINITE);
  ::CloseHandle(state_->thread);
  state_->thread = nullptr;
}

struct Event::State {
  HANDLE event = nullptr;
};

Event::Event(bool manualReset, bool signalled) : state_(std::make_unique<State>()) {
  state_->event = ::CreateEventW(nullptr, manualReset, signalled, nullptr);
}

Event::~Event() {
  if (state_->event) ::CloseHandle(state_->event);
}

void Event::Set() { ::SetEvent(state_->event); }
void Event::Reset() { ::ResetEvent(state_->event); }
void Event::Wait() { ::WaitForSingleObject(state_->event, INFINITE); }

struct CriticalSection::State {
  CRITICAL_SECTION section;
};

CriticalSection::CriticalSection() : state_(std::make_unique<State>()) {
  ::InitializeCriticalSection(&state_->section);
}

CriticalSection::~CriticalSection() { ::DeleteCriticalSection(&state_->section); }

void CriticalSection::Enter() { ::EnterCriticalSection(&state_->section); }
void CriticalSection::Leave() { ::LeaveCriticalSection(&state_->section); }

}  // namespace threads
