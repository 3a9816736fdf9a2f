// The real program in a real terminal: a private tmux server runs it in a
// pane of a given size, keys are typed with send-keys, and the screen is
// read back with capture-pane. Every wait polls the screen with a bound.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace terminal_test {

class TmuxSession {
 public:
  static bool Available();

  // Runs `program` with `environment` (besides a clean locale and no script)
  // in `folder`; when it ends, its exit code and the terminal's settings are
  // written beside it and the pane stays open.
  TmuxSession(const std::string& program, const std::string& folder, const std::map<std::string, std::string>& environment,
              int width, int height);
  ~TmuxSession();

  void Keys(const std::vector<std::string>& keys);
  void Resize(int width, int height);
  // A left click at a screen cell, as the terminal reports it to the program.
  void Click(int column, int row);
  // Where `text` starts on the screen (column in cells, row); {-1, -1} if absent.
  std::pair<int, int> Find(const std::string& text) const;
  void Type(const std::string& literal);
  // The visible screen; with escapes, its colours and attributes as SGR sequences.
  std::string Capture(bool escapes = false) const;
  // Polls the screen until `text` is on it; false after `limit`.
  bool WaitFor(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(15)) const;
  bool WaitForGone(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(15)) const;
  // The program's exit code once it has ended (-1 if it does not within `limit`).
  int WaitForExit(std::chrono::milliseconds limit = std::chrono::seconds(15)) const;
  // `stty -a` as it was right after the program ended.
  std::string SettingsAfterExit() const;

 private:
  std::string Tmux(const std::string& arguments) const;

  std::string socket_;
  std::string socketPath_;
  std::string folder_;
};

}  // namespace terminal_test
