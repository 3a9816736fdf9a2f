// How long a whole check takes (workers and the checking dialog, run from a
// script) against a loopback server, next to what three requests in flight
// allow; and the CPU time and peak memory it costs.
//
//   bench_check [links=300] [delay_ms=50] [fast_links=1000]
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "checker/checking_dialog.h"
#include "checker/worker_control.h"
#include "model/app_state.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "tests/http/loopback.h"

namespace {

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

// The servers run in a child process so their threads cost the measured
// process nothing. Returns the ports of a delayed and an immediate server.
pid_t StartServers(int delayMs, int& slowPort, int& fastPort) {
  int ports[2];
  if (pipe(ports) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the measured process
    auto answer = [](int wait) {
      return [wait](int fd, loopback::RawServer& s) {
        s.ReadRequest(fd);
        // A plain sleep: the test servers' stop-aware idling is coarser than the delay measured here.
        if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        loopback::RawServer::SendAll(fd, loopback::Response(200, "<html>page</html>"));
      };
    };
    loopback::RawServer slow(answer(delayMs));
    loopback::RawServer fast(answer(0));
    int both[2] = {slow.port(), fast.port()};
    if (write(ports[1], both, sizeof both) != sizeof both) _exit(1);
    pause();  // until the parent ends it
    _exit(0);
  }
  int both[2] = {0, 0};
  if (read(ports[0], both, sizeof both) != sizeof both) std::exit(1);
  slowPort = both[0];
  fastPort = both[1];
  return child;
}

struct Figures {
  std::intptr_t result = 0;
  double seconds = 0;
  double cpuSeconds = 0;
};

Figures RunCheck(int port, int links) {
  bookmarkTree = BookmarkTree{};
  bookmarkTree.name = u"Bookmarks";
  for (int i = 0; i < links; ++i) {
    BookmarkLink link;
    link.url = text::Utf8ToUtf16("http://127.0.0.1:" + std::to_string(port) + "/page/" + std::to_string(i));
    link.title = text::Utf8ToUtf16("Page " + std::to_string(i));
    bookmarkTree.links.push_back(link);
  }
  checkQueue = CheckQueue{};
  CollectLinks(bookmarkTree, checkQueue);
  actionFlags = AF_CHOSEN | AF_DELETE_FAILURE;

  Figures f;
  const double cpu0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  f.result = ui::DialogBoxParam("DIALOG_3", nullptr, CheckingDialog, 0);
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  f.cpuSeconds = CpuSeconds() - cpu0;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const int links = argc > 1 ? std::atoi(argv[1]) : 300;
  const int delayMs = argc > 2 ? std::atoi(argv[2]) : 50;
  const int fastLinks = argc > 3 ? std::atoi(argv[3]) : 1000;

  int slowPort = 0, fastPort = 0;
  const pid_t servers = StartServers(delayMs, slowPort, fastPort);

  // The checking dialog ends by itself after the last result, in both runs.
  char scriptPath[] = "/tmp/bench-check-XXXXXX";
  const int fd = mkstemp(scriptPath);
  if (fd < 0) return 1;
  const char script[] = "dialog DIALOG_3: wait\ndialog DIALOG_3: wait\n";
  if (write(fd, script, sizeof script - 1) != static_cast<ssize_t>(sizeof script - 1)) return 1;
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
  std::printf("  ratio to the limit       %.3f (goal: at most 1.10)\n", slow.seconds / limit);
  std::printf("  CPU time                 %.3f s\n", slow.cpuSeconds);

  const Figures fast = RunCheck(fastPort, fastLinks);
  std::printf("check of %d links, server answering at once\n", fastLinks);
  std::printf("  dialog result            %ld\n", static_cast<long>(fast.result));
  std::printf("  wall time                %.3f s\n", fast.seconds);
  std::printf("  links per second         %.0f\n", fastLinks / fast.seconds);
  std::printf("  CPU time                 %.3f s\n", fast.cpuSeconds);
  std::printf("peak memory (RSS)          %ld KiB\n", PeakKilobytes());

  kill(servers, SIGTERM);
  waitpid(servers, nullptr, 0);
  unlink(scriptPath);
  std::fflush(stdout);
  ui::ExitProcess(0);
}
