#include "checker/worker_control.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "checker/check_worker.h"
#include "checker/run_event.h"

threads::Event* RunEvent = nullptr;
ui::Window resultsWindow = nullptr;

namespace {

// Guards the stop flag and the sessions; taken around every delivery so a
// stop either happens before a delivery or after it, never in between.
std::mutex controlLock;
bool stopping = false;
std::vector<http::Handle> activeSessions;
std::vector<threads::Thread> workerList;  // touched only by the dialog's thread

}  // namespace

void StartCheckWorkers(int count) {
  {
    std::lock_guard<std::mutex> lock(controlLock);
    stopping = false;
  }
  for (int i = 0; i < count; ++i) {
    threads::Thread worker;
    // One that cannot be started is done without: the others still drain the queue.
    if (worker.Start(CheckWorker, nullptr)) workerList.push_back(std::move(worker));
  }
}

void StopCheckWorkers() {
  {
    std::lock_guard<std::mutex> lock(controlLock);
    stopping = true;
    for (http::Handle session : activeSessions) http::InternetAbort(session);
  }
  if (RunEvent) RunEvent->Set();  // a paused worker must wake to see the stop
  for (threads::Thread& worker : workerList) worker.Join();
  workerList.clear();
}

bool RegisterWorkerSession(http::Handle session) {
  std::lock_guard<std::mutex> lock(controlLock);
  if (stopping) return false;
  activeSessions.push_back(session);
  return true;
}

void UnregisterWorkerSession(http::Handle session) {
  std::lock_guard<std::mutex> lock(controlLock);
  activeSessions.erase(std::remove(activeSessions.begin(), activeSessions.end(), session), activeSessions.end());
}

bool WorkerStopRequested() {
  std::lock_guard<std::mutex> lock(controlLock);
  return stopping;
}

bool DeliverVerdict(BookmarkLink& link, LinkVerdict verdict) {
  std::lock_guard<std::mutex> lock(controlLock);
  if (stopping) return false;
  // The status is in place before the dialog can learn of the result.
  link.status = verdict.status;
  ui::PostMessage(resultsWindow, WM_LINK_RESULT, static_cast<ui::WParam>(static_cast<std::intptr_t>(verdict.code)), 0);
  return true;
}
