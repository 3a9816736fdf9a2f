// How long a whole check takes (workers and the checking dialog, run from a
// script) against loopback servers:
// - against a slow server, next to what three requests in flight allow;
// - against an instant server, next to the floor: three plain libcurl
//   workers, each keeping one easy handle and opening one connection per
//   link, from the same libcurl.
// The floor and the check take turns for `rounds` rounds (in alternating
// order), and are compared in wall time and in processor time per link. On
// a shared machine the neighbours decide much of the wall time, so both the
// median of the rounds' ratios and the ratio of the best rounds are shown.
//
//   bench_check [links=300] [delay_ms=50] [fast_links=20000] [rounds=5]
#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "checker/checking_dialog.h"
#include "checker/worker_control.h"
#include "model/app_state.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "tests/http/loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

const std::string kPage = loopback::Response(200, "<html>page</html>");

// The instant site: a few threads that each accept a connection, read the
// request head, answer and close. A thread per connection (the test
// servers' way) would cost more than the clients being measured.
[[noreturn]] void ServeInstantly(int listener) {
  auto serve = [listener] {
    char buffer[4096];
    for (;;) {
      const int fd = ::accept(listener, nullptr, nullptr);
      if (fd < 0) continue;
      std::string head;
      while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
      }
      loopback::RawServer::SendAll(fd, kPage);
      ::close(fd);
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kCheckWorkerCount; ++i) threads.emplace_back(serve);
  for (std::thread& t : threads) t.join();
  _exit(0);
}

int ListenOnLoopback() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 128) != 0)
    std::exit(1);
  return fd;
}

int PortOf(int listener) {
  sockaddr_in addr{};
  socklen_t length = sizeof addr;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length);
  return ntohs(addr.sin_port);
}

// The servers run in a child process so their threads cost the measured
// process nothing. Returns the ports of a delayed and an instant server.
pid_t StartServers(int delayMs, int& slowPort, int& fastPort) {
  const int instant = ListenOnLoopback();
  fastPort = PortOf(instant);
  int ports[2];
  if (pipe(ports) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the measured process
    loopback::RawServer slow([delayMs](int fd, loopback::RawServer& s) {
      s.ReadRequest(fd);
      // A plain sleep: the test servers' stop-aware idling is coarser than the delay measured here.
      if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      loopback::RawServer::SendAll(fd, kPage);
    });
    const int port = slow.port();
    if (write(ports[1], &port, sizeof port) != sizeof port) _exit(1);
    ServeInstantly(instant);
  }
  ::close(instant);
  if (read(ports[0], &slowPort, sizeof slowPort) != sizeof slowPort) std::exit(1);
  return child;
}

std::string PageUrl(int port, int i) {
  return "http://127.0.0.1:" + std::to_string(port) + "/page/" + std::to_string(i);
}

struct Figures {
  std::intptr_t result = 0;  // the dialog's result, or for the floor the links that failed
  double seconds = 0;
  double cpuSeconds = 0;
};

Figures RunCheck(int port, int links) {
  bookmarkTree = BookmarkTree{};
  bookmarkTree.name = u"Bookmarks";
  for (int i = 0; i < links; ++i) {
    BookmarkLink link;
    link.url = text::Utf8ToUtf16(PageUrl(port, i));
    link.title = text::Utf8ToUtf16("Page " + std::to_string(i));
    bookmarkTree.links.push_back(link);
  }
  checkQueue = CheckQueue{};
  CollectLinks(bookmarkTree, checkQueue);
  actionFlags = AF_CHOSEN | AF_DELETE_FAILURE;

  Figures f;
  const double cpu0 = CpuSeconds();
  const auto t0 = Clock::now();
  f.result = ui::DialogBoxParam("DIALOG_3", nullptr, CheckingDialog, 0);
  f.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  f.cpuSeconds = CpuSeconds() - cpu0;
  return f;
}

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// The floor: what three threads of plain libcurl calls need for the same
// links, with nothing around them (no sessions, no dialog, no messages).
Figures RunFloor(int port, int links) {
  std::atomic<int> next{0};
  std::atomic<int> failed{0};
  auto worker = [&] {
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "LNT 3.0");
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Discard);
    for (int i; (i = next++) < links;) {
      const std::string url = PageUrl(port, i);
      curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
      long status = 0;
      if (curl_easy_perform(easy) == CURLE_OK) curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
      if (status != 200) ++failed;
    }
    curl_easy_cleanup(easy);
  };
  Figures f;
  const double cpu0 = CpuSeconds();
  const auto t0 = Clock::now();
  std::vector<std::thread> threads;
  for (int i = 0; i < kCheckWorkerCount; ++i) threads.emplace_back(worker);
  for (std::thread& t : threads) t.join();
  f.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  f.cpuSeconds = CpuSeconds() - cpu0;
  f.result = failed.load();
  return f;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Best(const std::vector<Figures>& runs, double Figures::*field) {
  double best = 1e30;
  for (const Figures& f : runs) best = std::min(best, f.*field);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int links = argc > 1 ? std::atoi(argv[1]) : 300;
  const int delayMs = argc > 2 ? std::atoi(argv[2]) : 50;
  const int fastLinks = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20000;
  const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;

  curl_global_init(CURL_GLOBAL_DEFAULT);
  int slowPort = 0, fastPort = 0;
  const pid_t servers = StartServers(delayMs, slowPort, fastPort);

  // The checking dialog ends by itself after the last result, in every run.
  char scriptPath[] = "/tmp/bench-check-XXXXXX";
  const int fd = mkstemp(scriptPath);
  if (fd < 0) return 1;
  std::string script;
  for (int i = 0; i < 1 + rounds; ++i) script += "dialog DIALOG_3: wait\n";
  if (write(fd, script.data(), script.size()) != static_cast<ssize_t>(script.size())) return 1;
  close(fd);
  setenv("LINNET_SCRIPT", scriptPath, 1);
  setenv("LINNET_TRANSCRIPT", "/dev/null", 1);
  if (!ui::StartFrontEnd()) return 1;

  const Figures slow = RunCheck(slowPort, links);
  const double limit = (links + kCheckWorkerCount - 1) / kCheckWorkerCount * (delayMs / 1000.0);
  std::printf("check of %d links, server answering after %d ms, %d requests in flight\n", links, delayMs,
              kCheckWorkerCount);
  std::printf("  dialog result            %ld\n", static_cast<long>(slow.result));
  std::printf("  wall time                %.3f s\n", slow.seconds);
  std::printf("  network limit            %.3f s\n", limit);
  std::printf("  ratio to the limit       %.3f (goal: at most 1.05)\n", slow.seconds / limit);
  std::printf("  CPU time                 %.3f s\n", slow.cpuSeconds);

  const double perLink = 1e6 / fastLinks;
  std::printf("%d links, server answering at once: floor (three plain libcurl workers) and check\n", fastLinks);
  std::printf("  round   floor wall  CPU/link   check wall  CPU/link   ratio wall  CPU  failed dialog\n");
  std::vector<Figures> floors, checks;
  std::vector<double> wallRatios, cpuRatios;
  for (int round = 0; round < rounds; ++round) {
    Figures f, c;
    if (round % 2 == 0) {
      f = RunFloor(fastPort, fastLinks);
      c = RunCheck(fastPort, fastLinks);
    } else {
      c = RunCheck(fastPort, fastLinks);
      f = RunFloor(fastPort, fastLinks);
    }
    floors.push_back(f);
    checks.push_back(c);
    wallRatios.push_back(c.seconds / f.seconds);
    cpuRatios.push_back(c.cpuSeconds / f.cpuSeconds);
    std::printf("  %5d   %8.3f s  %5.1f us   %8.3f s  %5.1f us   %9.3f  %5.3f  %5ld  %5ld\n", round + 1, f.seconds,
                f.cpuSeconds * perLink, c.seconds, c.cpuSeconds * perLink, wallRatios.back(), cpuRatios.back(),
                static_cast<long>(f.result), static_cast<long>(c.result));
  }
  const double floorWall = Best(floors, &Figures::seconds), checkWall = Best(checks, &Figures::seconds);
  const double floorCpu = Best(floors, &Figures::cpuSeconds), checkCpu = Best(checks, &Figures::cpuSeconds);
  std::printf("  best     %8.3f s  %5.1f us   %8.3f s  %5.1f us   %9.3f  %5.3f\n", floorWall, floorCpu * perLink,
              checkWall, checkCpu * perLink, checkWall / floorWall, checkCpu / floorCpu);
  std::printf("  links per second, best: floor %.0f, check %.0f\n", fastLinks / floorWall, fastLinks / checkWall);
  std::printf("  ratio, wall time          median %.3f, best %.3f (goal: at most 1.20)\n", Median(wallRatios),
              checkWall / floorWall);
  std::printf("  ratio, CPU time per link  median %.3f, best %.3f (goal: at most 1.30)\n", Median(cpuRatios),
              checkCpu / floorCpu);
  std::printf("peak memory (RSS)          %ld KiB\n", PeakKilobytes());

  kill(servers, SIGTERM);
  waitpid(servers, nullptr, 0);
  unlink(scriptPath);
  std::fflush(stdout);
  ui::ExitProcess(0);
}
