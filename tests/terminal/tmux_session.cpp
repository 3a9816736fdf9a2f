#include "tmux_session.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace terminal_test {
namespace {

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Run(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

template <typename Done>
bool Poll(Done done, std::chrono::milliseconds limit) {
  auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace

bool TmuxSession::Available() { return std::system("tmux -V >/dev/null 2>&1") == 0; }

TmuxSession::TmuxSession(const std::string& program, const std::string& folder,
                         const std::map<std::string, std::string>& environment, int width, int height)
    : folder_(folder) {
  static std::atomic<int> counter{0};
  socket_ = "linnet-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  std::string script = folder_ + "/run.sh";
  {
    std::ofstream out(script);
    out << "cd " << Quote(folder_) << "\n";
    // The terminal front end by name: a display the tests run under would
    // otherwise bring up the desktop's windows instead.
    out << "env -u LINNET_SCRIPT -u LINNET_TRANSCRIPT LANG=C.UTF-8 LC_ALL= LINNET_FRONTEND=terminal ";
    for (const auto& [name, value] : environment) out << name << "=" << Quote(value) << " ";
    out << Quote(program) << "\n";
    out << "code=$?\n";
    out << "stty -a > " << Quote(folder_ + "/stty.txt") << " 2>&1\n";
    out << "echo $code > " << Quote(folder_ + "/exit.txt") << "\n";
    out << "echo \"program ended: $code\"\n";
    out << "sleep 600\n";
  }
  Tmux("-f /dev/null new-session -d -s main -x " + std::to_string(width) + " -y " + std::to_string(height) +
       " " + Quote("sh " + Quote(script)));
  socketPath_ = Tmux("display-message -p '#{socket_path}'");
  while (!socketPath_.empty() && socketPath_.back() == '\n') socketPath_.pop_back();
}

TmuxSession::~TmuxSession() {
  Tmux("kill-server");
  // The server leaves its socket behind; it is ours alone.
  if (!socketPath_.empty()) unlink(socketPath_.c_str());
}

std::string TmuxSession::Tmux(const std::string& arguments) const {
  return Run("tmux -L " + socket_ + " " + arguments + " 2>/dev/null");
}

void TmuxSession::Keys(const std::vector<std::string>& keys) {
  std::string line = "send-keys -t main";
  for (const std::string& key : keys) line += " " + key;
  Tmux(line);
}

void TmuxSession::Resize(int width, int height) {
  Tmux("resize-window -t main -x " + std::to_string(width) + " -y " + std::to_string(height));
}

void TmuxSession::Click(int column, int row) {
  // The classic mouse report: ESC [ M, then button, column and row, each
  // offset by 32 (columns and rows count from 1); a press, then a release.
  auto hex = [](int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%x", value);
    return std::string(text);
  };
  std::string at = " " + hex(33 + column) + " " + hex(33 + row);
  Tmux("send-keys -t main -H 1b 5b 4d 20" + at);
  Tmux("send-keys -t main -H 1b 5b 4d 23" + at);
}

std::pair<int, int> TmuxSession::Find(const std::string& text) const {
  std::istringstream screen(Capture());
  std::string line;
  for (int row = 0; std::getline(screen, line); ++row) {
    std::size_t at = line.find(text);
    if (at == std::string::npos) continue;
    int column = 0;
    for (std::size_t i = 0; i < at; ++i)
      if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;  // count characters, not bytes
    return {column, row};
  }
  return {-1, -1};
}

void TmuxSession::Type(const std::string& literal) { Tmux("send-keys -t main -l " + Quote(literal)); }

std::string TmuxSession::Capture(bool escapes) const {
  return Tmux(std::string("capture-pane -p -t main") + (escapes ? " -e" : ""));
}

bool TmuxSession::WaitFor(const std::string& text, std::chrono::milliseconds limit) const {
  return Poll([&] { return Capture().find(text) != std::string::npos; }, limit);
}

bool TmuxSession::WaitForGone(const std::string& text, std::chrono::milliseconds limit) const {
  return Poll([&] { return Capture().find(text) == std::string::npos; }, limit);
}

int TmuxSession::WaitForExit(std::chrono::milliseconds limit) const {
  std::string path = folder_ + "/exit.txt";
  if (!Poll([&] { return !ReadAll(path).empty(); }, limit)) return -1;
  return std::stoi(ReadAll(path));
}

std::string TmuxSession::SettingsAfterExit() const { return ReadAll(folder_ + "/stty.txt"); }

}  // namespace terminal_test
