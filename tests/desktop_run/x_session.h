// A private X server (Xvfb) for the real program, and real input through
// xdotool (the XTEST extension, as a keyboard and mouse would send it).
// Every wait polls with a bound; everything started stops with the session.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace desktop_test {

struct WindowGeometry {
  int x = 0, y = 0, width = 0, height = 0;
};

class XSession {
 public:
  static bool Available();  // Xvfb and xdotool are installed

  XSession();
  ~XSession();
  bool Started() const { return display_ >= 0; }
  std::string Display() const { return ":" + std::to_string(display_); }

  // The id of the one visible window whose title matches (an extended
  // regular expression), once it is there and has the keyboard focus.
  std::optional<std::string> WaitForWindow(const std::string& title,
                                           std::chrono::milliseconds limit = std::chrono::seconds(20)) const;
  bool WaitForNoWindow(const std::string& title, std::chrono::milliseconds limit = std::chrono::seconds(20)) const;
  WindowGeometry Geometry(const std::string& window) const;

  void Keys(const std::string& keys) const;      // e.g. "Return", "ctrl+a", "Tab Tab Return"
  void Type(const std::string& text) const;      // literal text into the focused field
  void Click(int x, int y) const;                // on the screen, with the left button
  // The whole screen as a PNG file.
  bool Screenshot(const std::string& path) const;

 private:
  std::string Xdotool(const std::string& arguments) const;

  int display_ = -1;
  int server_ = -1;  // Xvfb's process id
};

// Runs `argv` with `environment` in `folder` with standard input from
// /dev/null; returns the process id.
int Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
          const std::string& folder, const std::string& errorFile);
// The exit code once the process has ended, -1 when it does not in time
// (it is killed then).
int WaitForExit(int pid, std::chrono::milliseconds limit);

}  // namespace desktop_test
