#include "x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace desktop_test {
namespace {

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

bool XSession::Available() { return OnPath("Xvfb") && OnPath("xdotool"); }

XSession::XSession() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, STDIN_FILENO);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    std::string fd = std::to_string(pipeEnds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  server_ = child;
  std::string number;
  for (int waited = 0; waited < 10000; waited += 50) {
    pollfd fd{pipeEnds[0], POLLIN, 0};
    if (poll(&fd, 1, 50) > 0) {
      char buffer[16];
      ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      number.append(buffer, static_cast<std::size_t>(n));
      if (number.find('\n') != std::string::npos) break;
    }
  }
  close(pipeEnds[0]);
  if (!number.empty()) display_ = std::atoi(number.c_str());
}

XSession::~XSession() {
  if (server_ > 0) {
    kill(server_, SIGTERM);
    WaitForExit(server_, std::chrono::seconds(5));
  }
}

std::string XSession::Xdotool(const std::string& arguments) const {
  std::string command = "DISPLAY=" + Display() + " xdotool " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  std::array<char, 256> buffer;
  while (std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  pclose(pipe);
  return out;
}

std::optional<std::string> XSession::WaitForWindow(const std::string& title, std::chrono::milliseconds limit) const {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    std::istringstream found(Xdotool("search --onlyvisible --name " + Quote(title)));
    std::string id, only;
    int count = 0;
    while (found >> id) {
      only = id;
      ++count;
    }
    if (count == 1) {
      std::string focus = Xdotool("getwindowfocus");
      while (!focus.empty() && (focus.back() == '\n' || focus.back() == ' ')) focus.pop_back();
      if (focus == only) {
        // A moment for the program to take the focus in too, as a person's
        // first key after a window appears never comes at once.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return only;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::nullopt;
}

bool XSession::WaitForNoWindow(const std::string& title, std::chrono::milliseconds limit) const {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (Xdotool("search --onlyvisible --name " + Quote(title)).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

WindowGeometry XSession::Geometry(const std::string& window) const {
  WindowGeometry geometry;
  std::istringstream lines(Xdotool("getwindowgeometry --shell " + window));
  std::string line;
  while (std::getline(lines, line)) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") geometry.x = value;
    if (key == "Y") geometry.y = value;
    if (key == "WIDTH") geometry.width = value;
    if (key == "HEIGHT") geometry.height = value;
  }
  return geometry;
}

void XSession::Keys(const std::string& keys) const { Xdotool("key --delay 40 " + keys); }

void XSession::Type(const std::string& text) const { Xdotool("type --delay 10 " + Quote(text)); }

void XSession::Click(int x, int y) const {
  Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

bool XSession::Screenshot(const std::string& path) const {
  return std::system(("DISPLAY=" + Display() + " import -window root " + Quote(path) + " 2>/dev/null").c_str()) == 0;
}

int Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
          const std::string& folder, const std::string& errorFile) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    std::string pair = *entry;
    std::size_t eq = pair.find('=');
    if (eq == std::string::npos) continue;
    std::string name = pair.substr(0, eq);
    // The test's own settings never leak into the program.
    if (name.rfind("LINNET_", 0) == 0 || name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "QT_QPA_PLATFORM")
      continue;
    merged[name] = pair.substr(eq + 1);
  }
  for (const auto& [name, value] : environment) merged[name] = value;
  std::vector<std::string> envStrings;
  for (const auto& [name, value] : merged) envStrings.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (std::string& s : args) argp.push_back(s.data());
  argp.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    int in = open("/dev/null", O_RDONLY);
    int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, STDIN_FILENO);
    dup2(err, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (chdir(folder.c_str()) != 0) _exit(126);
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  return child;
}

int WaitForExit(int pid, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace desktop_test
