#include "platform/posix/terminal/terminal_restore.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <curses.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

namespace terminal {
namespace {

struct termios savedSettings;
bool haveSettings = false;
char restoreBytes[512];
std::size_t restoreLength = 0;
std::atomic<bool> restored{false};

void Append(const char* bytes) {
  if (!bytes || bytes == reinterpret_cast<const char*>(-1)) return;
  std::size_t length = std::strlen(bytes);
  if (restoreLength + length >= sizeof(restoreBytes)) return;
  std::memcpy(restoreBytes + restoreLength, bytes, length);
  restoreLength += length;
}

void OnSignal(int signal) {
  RestoreTerminal();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void SaveLineSettings() { haveSettings = tcgetattr(STDIN_FILENO, &savedSettings) == 0; }

void PrepareRestore() {
  restoreLength = 0;
  // Mouse reporting off (the modes curses may have switched on), then the
  // terminfo strings that end full-screen mode.
  if (tigetstr(const_cast<char*>("kmous")) && tigetstr(const_cast<char*>("kmous")) != reinterpret_cast<char*>(-1))
    Append("\033[?1006l\033[?1002l\033[?1000l");
  Append(tigetstr(const_cast<char*>("sgr0")));
  Append(tigetstr(const_cast<char*>("cnorm")));
  Append(tigetstr(const_cast<char*>("rmkx")));
  // The full screen is cleared before it is left: some terminals carry
  // part of it over to the ordinary screen when the window was resized.
  Append(tigetstr(const_cast<char*>("clear")));
  Append(tigetstr(const_cast<char*>("rmcup")));
}

void RestoreTerminal() {
  if (restored.exchange(true)) return;
  std::size_t written = 0;
  while (written < restoreLength) {
    ssize_t n = ::write(STDOUT_FILENO, restoreBytes + written, restoreLength - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  if (haveSettings) tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
}

void InstallRestoringSignalHandlers() {
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace terminal
