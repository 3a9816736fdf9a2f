#include <gtest/gtest.h>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/http.h"

namespace {

// What the connectivity test answers inside a fresh network namespace, which
// has nothing but a loopback interface (and that one down).
enum class NamespaceVerdict { kOnline, kOffline, kNotPermitted };

bool BringLoopbackUp() {
  const int s = socket(AF_INET, SOCK_DGRAM, 0);
  if (s < 0) return false;
  ifreq request;
  std::memset(&request, 0, sizeof request);
  std::strcpy(request.ifr_name, "lo");
  bool up = ioctl(s, SIOCGIFFLAGS, &request) == 0;
  request.ifr_flags |= IFF_UP;
  up = up && ioctl(s, SIOCSIFFLAGS, &request) == 0;
  close(s);
  return up;
}

NamespaceVerdict VerdictWithOnlyLoopback(const char* assumeOnline, bool loopbackUp = false) {
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNET) != 0) _exit(2);
    if (loopbackUp && !BringLoopbackUp()) _exit(2);
    if (assumeOnline) setenv("LINNET_ASSUME_ONLINE", assumeOnline, 1);
    else unsetenv("LINNET_ASSUME_ONLINE");
    _exit(http::InternetAttemptConnect() ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 2) return NamespaceVerdict::kNotPermitted;
  return WEXITSTATUS(status) == 0 ? NamespaceVerdict::kOnline : NamespaceVerdict::kOffline;
}

TEST(InternetAttemptConnect, OnlyLoopbackMeansOfflineUnlessAssumedOnline) {
  const NamespaceVerdict plain = VerdictWithOnlyLoopback(nullptr);
  if (plain == NamespaceVerdict::kNotPermitted) GTEST_SKIP() << "no permission to make a network namespace";
  EXPECT_EQ(plain, NamespaceVerdict::kOffline);
  // A working loopback interface still reaches no web server.
  EXPECT_EQ(VerdictWithOnlyLoopback(nullptr, true), NamespaceVerdict::kOffline);

  EXPECT_EQ(VerdictWithOnlyLoopback("1"), NamespaceVerdict::kOnline);
  // Only the documented value switches the test off.
  EXPECT_EQ(VerdictWithOnlyLoopback("0"), NamespaceVerdict::kOffline);
  EXPECT_EQ(VerdictWithOnlyLoopback(""), NamespaceVerdict::kOffline);
}

}  // namespace
