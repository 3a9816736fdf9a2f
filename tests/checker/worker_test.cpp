// The check workers against a loopback server: the queue, the limit of three
// requests in flight, pausing, and stopping workers that are stuck.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>

#include "checker/check_worker.h"
#include "checker/run_event.h"
#include "checker/worker_control.h"
#include "http/loopback.h"
#include "model/app_state.h"
#include "platform/text.h"

namespace {

using loopback::RawServer;
using Clock = std::chrono::steady_clock;

std::vector<ResultCode> received;

std::intptr_t CollectResults(ui::Window, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == WM_LINK_RESULT) received.push_back(static_cast<ResultCode>(static_cast<std::intptr_t>(wParam)));
  return 0;
}

constexpr unsigned kSentinel = ui::WM_APP + 77;
bool sentinelSeen = false;

std::intptr_t CollectWithSentinel(ui::Window w, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  if (message == kSentinel) sentinelSeen = true;
  return CollectResults(w, message, wParam, lParam);
}

// A window that receives results, and the workers around it.
class Workers {
 public:
  Workers(std::vector<std::string> urls, ActionFlags flags, bool startPaused = false) {
    received.clear();
    links_.resize(urls.size());
    for (std::size_t i = 0; i < urls.size(); ++i) links_[i].url = text::Utf8ToUtf16(urls[i]);
    checkQueue = CheckQueue{};
    for (BookmarkLink& l : links_) checkQueue.links.push_back(&l);
    actionFlags = flags;
    window_ = ui::CreateDialogParam("DIALOG_3", nullptr, CollectWithSentinel, 0);
    EXPECT_NE(window_, nullptr);
    RunEvent = new threads::Event(true, !startPaused);
    resultsWindow = window_;
    StartCheckWorkers(kCheckWorkerCount);
  }
  ~Workers() {
    Stop();
    ui::DestroyWindow(window_);
  }
  void Stop() {
    if (!RunEvent) return;
    StopCheckWorkers();
    delete RunEvent;
    RunEvent = nullptr;
  }
  // Handles messages until `count` results have arrived or the time is up.
  bool Pump(std::size_t count, int seconds = 30) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (received.size() < count && Clock::now() < deadline) PumpOnce(deadline);
    return received.size() >= count;
  }
  // Handles every message posted so far.
  void Drain() {
    sentinelSeen = false;
    ui::PostMessage(window_, kSentinel, 0, 0);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!sentinelSeen && Clock::now() < deadline) PumpOnce(deadline);
  }
  std::vector<BookmarkLink>& links() { return links_; }

 private:
  void PumpOnce(Clock::time_point deadline) {
    // GetMessage blocks; a timer thread posts a wake-up so a lost result cannot hang the test.
    std::atomic<bool> done{false};
    ui::ThreadId self = ui::GetCurrentThreadId();
    std::thread waker([&] {
      while (!done && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (!done) ui::PostThreadMessage(self, ui::WM_APP + 78, 0, 0);
    });
    ui::Msg msg;
    if (ui::GetMessage(msg)) ui::DispatchMessage(msg);
    done = true;
    waker.join();
  }
  std::vector<BookmarkLink> links_;
  ui::Window window_ = nullptr;
};

// Answers /<status>/<n> with that status after `delayMs`, counting requests
// per path and the most that were waiting for their answer at once.
struct CountingServer {
  explicit CountingServer(int delayMs)
      : server([this, delayMs](int fd, RawServer& s) {
          std::string head = s.ReadRequest(fd);
          int now = ++inFlight;
          for (int seen = maxInFlight; now > seen && !maxInFlight.compare_exchange_weak(seen, now);) {
          }
          s.Idle(delayMs);
          --inFlight;  // before the answer: the client may start its next request once it has it
          std::size_t start = head.find(' ') + 2;
          int status = std::atoi(head.c_str() + start);
          RawServer::SendAll(fd, loopback::Response(status ? status : 200, "body"));
        }) {}
  std::map<std::string, int> PathCounts() {
    std::map<std::string, int> counts;
    for (const std::string& r : server.requests()) counts[r.substr(4, r.find(' ', 4) - 4)]++;
    return counts;
  }
  std::atomic<int> inFlight{0};
  std::atomic<int> maxInFlight{0};
  RawServer server;
};

TEST(CheckWorkers, EveryLinkIsCheckedOnceWithAtMostThreeRequestsInFlight) {
  for (int run = 0; run < 5; ++run) {
    SCOPED_TRACE(run);
    CountingServer site(run == 0 ? 30 : 2);
    std::vector<std::string> urls;
    const int codes[] = {200, 404, 500, 403};
    for (int i = 0; i < 40; ++i) urls.push_back(site.server.Url("/" + std::to_string(codes[i % 4]) + "/" + std::to_string(i)));
    urls.push_back("http://127.0.0.1:" + std::to_string(loopback::ClosedPort()) + "/");
    Workers workers(urls, AF_CHOSEN | AF_DELETE_500 | AF_DELETE_FAILURE);
    ASSERT_TRUE(workers.Pump(urls.size()));
    workers.Stop();
    workers.Drain();
    EXPECT_EQ(received.size(), urls.size()) << "a link reported twice";
    EXPECT_EQ(checkQueue.nextIndex, urls.size());

    auto counts = site.PathCounts();
    EXPECT_EQ(counts.size(), 40u);
    for (const auto& [path, n] : counts) EXPECT_EQ(n, 1) << path;
    EXPECT_LE(site.maxInFlight.load(), 3);
    if (run == 0) {
      EXPECT_EQ(site.maxInFlight.load(), 3) << "the three workers never ran side by side";
    }
    for (const std::string& r : site.server.requests())
      EXPECT_NE(r.find("\r\nUser-Agent: LNT 3.0\r\n"), std::string::npos) << r;

    std::map<ResultCode, int> byCode;
    for (ResultCode c : received) byCode[c]++;
    EXPECT_EQ(byCode[0], 20);
    EXPECT_EQ(byCode[404], 10);
    EXPECT_EQ(byCode[500], 10);
    EXPECT_EQ(byCode[-1], 1);
    for (int i = 0; i < 40; ++i) {
      LinkStatus want = codes[i % 4] == 404 ? Delete : codes[i % 4] == 500 ? Delete : Keep;
      EXPECT_EQ(workers.links()[i].status, want) << i;
    }
    EXPECT_EQ(workers.links()[40].status, Delete);
  }
}

TEST(CheckWorkers, EmptyQueueEndsWorkersWithoutResults) {
  Workers workers({}, AF_CHOSEN);
  workers.Stop();
  workers.Drain();
  EXPECT_TRUE(received.empty());
}

TEST(CheckWorkers, PauseStopsNewLinksButRequestsUnderWayStillReport) {
  std::atomic<bool> release{false};
  RawServer site([&](int fd, RawServer& s) {
    s.ReadRequest(fd);
    while (!release && !s.stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    RawServer::SendAll(fd, loopback::Response(404, ""));
  });
  std::vector<std::string> urls;
  for (int i = 0; i < 9; ++i) urls.push_back(site.Url("/" + std::to_string(i)));
  Workers workers(urls, AF_CHOSEN | AF_FIX_404);
  for (int i = 0; i < 500 && site.connections() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(site.connections(), 3);
  RunEvent->Reset();
  release = true;
  ASSERT_TRUE(workers.Pump(3));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  workers.Drain();
  EXPECT_EQ(received.size(), 3u) << "a paused worker took a new link";
  EXPECT_EQ(site.connections(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(workers.links()[i].status, Fix);
  RunEvent->Set();
  ASSERT_TRUE(workers.Pump(9));
  for (auto& l : workers.links()) EXPECT_EQ(l.status, Fix);
}

TEST(CheckWorkers, StopEndsStuckWorkersAtOnceWithoutStoringOrPosting) {
  const http::Timeouts saved = http::GetTimeouts();
  http::SetTimeouts({30'000, 60'000});
  RawServer silent([](int fd, RawServer& s) {
    s.ReadRequest(fd);
    s.Idle(60'000);
  });
  {
    std::vector<std::string> urls(8, silent.Url("/"));
    Workers workers(urls, AF_CHOSEN | AF_DELETE_FAILURE);
    for (int i = 0; i < 500 && silent.connections() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(silent.connections(), 3);
    const auto start = Clock::now();
    workers.Stop();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    workers.Drain();
    EXPECT_TRUE(received.empty());
    for (auto& l : workers.links()) EXPECT_EQ(l.status, Unchecked);
    EXPECT_EQ(checkQueue.nextIndex, 3u) << "links beyond the ones in flight were taken";
  }
  {
    // Paused workers wake to see the stop.
    CountingServer site(0);
    Workers workers({site.server.Url("/200/1"), site.server.Url("/200/2")}, AF_CHOSEN, /*startPaused=*/true);
    const auto start = Clock::now();
    workers.Stop();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(checkQueue.nextIndex, 0u);
    EXPECT_TRUE(site.server.requests().empty());
  }
  http::SetTimeouts(saved);
}

}  // namespace
