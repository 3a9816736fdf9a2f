#include "platform/posix/desktop/qt_start.h"

#include "platform/posix/desktop/app_icon.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace desktop {
namespace {

int argc = 1;
char programName[] = "linnet";
char* argv[] = {programName, nullptr};

bool NeedsNoDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return platform && (std::strcmp(platform, "offscreen") == 0 || std::strcmp(platform, "minimal") == 0);
}

// Opens the display in a child process, which Qt may end on failure; its
// first line on standard error is the reason.
bool DisplayOpens(std::string& whyNot) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return true;  // cannot tell: let Qt try
  pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return true;
  }
  if (child == 0) {
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    signal(SIGABRT, SIG_DFL);
    QGuiApplication probe(argc, argv);
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string said;
  char buffer[512];
  bool open = true;
  int status = 0;
  // Opening a display takes a moment; one that hangs counts as not there.
  for (int waited = 0;; waited += 20) {
    if (waitpid(child, &status, WNOHANG) == child) break;
    if (waited >= 10000) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
    pollfd fd{pipeEnds[0], POLLIN, 0};
    if (open && poll(&fd, 1, 20) > 0) {
      ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
      if (n <= 0) open = false;
      else if (said.size() < 4096) said.append(buffer, static_cast<std::size_t>(n));
    } else if (!open) {
      usleep(20000);
    }
  }
  close(pipeEnds[0]);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  std::string line = said.substr(0, said.find('\n'));
  whyNot = "Qt cannot open the display" + (line.empty() ? std::string() : ": " + line);
  return false;
}

}  // namespace

bool StartQt(std::string& whyNot) {
  if (QCoreApplication::instance()) return true;
  if (!NeedsNoDisplay() && !DisplayOpens(whyNot)) return false;
  // Qt takes the whole locale from the environment; the program's numbers
  // keep the "C" formatting, only the character type follows the person.
  // Qt's own file dialog, never the desktop's: that one runs a loop of its
  // own, and a file dialog decides which it is when it is made.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  auto* app = new QApplication(argc, argv);  // lives as long as the process
  std::setlocale(LC_ALL, "C");
  std::setlocale(LC_CTYPE, "");
  app->setQuitOnLastWindowClosed(false);
  app->setApplicationName(QStringLiteral("linnet"));
  app->setWindowIcon(AppIcon());
  return true;
}

}  // namespace desktop
