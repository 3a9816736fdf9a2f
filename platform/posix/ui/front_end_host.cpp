#include "platform/posix/ui/front_end_host.h"

#include "platform/portable/ui/script_front_end.h"
#include "platform/portable/ui/transcript.h"
#include "platform/posix/ui/thread_queue.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdlib.h>
#include <unistd.h>

namespace ui::core {
namespace {

std::mutex hostMutex;
std::shared_ptr<frontend::FrontEnd> activeFrontEnd;
std::atomic<ThreadId> uiThread{0};
frontend::FrontEndFactory terminalFactory = nullptr;
frontend::FrontEndFactory desktopFactory = nullptr;
std::atomic<bool> exitRecorded{false};

void RecordExit(int code) {
  if (exitRecorded.exchange(true)) return;
  WriteTranscript(JsonObject().Text("event", "exit").Number("code", code).Finish());
}

void StopActive() {
  std::shared_ptr<frontend::FrontEnd> frontEnd = ActiveFrontEnd();
  if (frontEnd) frontEnd->Stop();
}

// A return from main (or exit() anywhere) is a way out too: the screen is
// restored and the transcript still ends with the exit event and its code.
void AtProcessExit(int status, void*) {
  StopActive();
  RecordExit(status);
}

void Install(std::shared_ptr<frontend::FrontEnd> frontEnd) {
  std::shared_ptr<frontend::FrontEnd> previous;
  {
    std::lock_guard<std::mutex> lock(hostMutex);
    previous = std::move(activeFrontEnd);
    activeFrontEnd = std::move(frontEnd);
    uiThread = activeFrontEnd ? CurrentThreadId() : 0;
  }
  if (previous) previous->Stop();
}

frontend::FrontEndFactory Registered(const frontend::FrontEndFactory& factory) {
  std::lock_guard<std::mutex> lock(hostMutex);
  return factory;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool ReadScript(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return true;
}

std::unique_ptr<frontend::FrontEnd> StartScript(std::string& whyNot) {
  std::string path = Environment("LINNET_SCRIPT");
  if (path.empty()) {
    whyNot = "LINNET_FRONTEND=script needs LINNET_SCRIPT to name a script file";
    return nullptr;
  }
  std::string text;
  if (!ReadScript(path.c_str(), text)) {
    whyNot = "cannot read the script " + path;
    return nullptr;
  }
  return MakeScriptFrontEnd(text, whyNot);
}

std::unique_ptr<frontend::FrontEnd> StartTerminal(std::string& whyNot) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    whyNot = "standard input and output are not a terminal";
    return nullptr;
  }
  frontend::FrontEndFactory factory = Registered(terminalFactory);
  if (!factory) {
    whyNot = "this build has no terminal front end";
    return nullptr;
  }
  return factory(whyNot);
}

std::unique_ptr<frontend::FrontEnd> StartDesktop(std::string& whyNot) {
  frontend::FrontEndFactory factory = Registered(desktopFactory);
  if (!factory) {
    whyNot = "this build has no desktop front end";
    return nullptr;
  }
  return factory(whyNot);
}

}  // namespace

// LINNET_FRONTEND names the front end outright. Without it: a script when
// one is given, the desktop when there is a display that Qt can open, and
// otherwise the terminal.
std::unique_ptr<frontend::FrontEnd> ChooseFrontEnd(std::string& whyNot) {
  std::string wanted = Environment("LINNET_FRONTEND");
  if (wanted == "script") return StartScript(whyNot);
  if (wanted == "terminal") return StartTerminal(whyNot);
  if (wanted == "desktop") return StartDesktop(whyNot);
  if (!wanted.empty()) {
    whyNot = "LINNET_FRONTEND is \"" + wanted + "\"; it must be script, terminal or desktop";
    return nullptr;
  }
  if (!Environment("LINNET_SCRIPT").empty()) return StartScript(whyNot);
  std::string desktopWhyNot;
  if (!Environment("WAYLAND_DISPLAY").empty() || !Environment("DISPLAY").empty()) {
    if (std::unique_ptr<frontend::FrontEnd> desktop = StartDesktop(desktopWhyNot)) return desktop;
  }
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return StartTerminal(whyNot);
  whyNot = "nothing to show the dialogs on: set LINNET_SCRIPT to a script file, or run in a terminal or on a desktop";
  if (!desktopWhyNot.empty()) whyNot += " (the desktop: " + desktopWhyNot + ")";
  return nullptr;
}

std::shared_ptr<frontend::FrontEnd> ActiveFrontEnd() {
  std::lock_guard<std::mutex> lock(hostMutex);
  return activeFrontEnd;
}

bool IsUiThread() { return uiThread != 0 && uiThread == CurrentThreadId(); }
ThreadId UiThread() { return uiThread; }

void WakeFrontEndFor(ThreadId thread) {
  if (thread != uiThread) return;
  if (std::shared_ptr<frontend::FrontEnd> frontEnd = ActiveFrontEnd()) frontEnd->Wake();
}

void RejectInput(const frontend::Input& input, const std::string& dialogName, const std::string& why) {
  std::string action;
  switch (input.kind) {
    case frontend::InputKind::Click: action = "click"; break;
    case frontend::InputKind::Select: action = "select"; break;
    case frontend::InputKind::KeyEnter: action = "key enter"; break;
    case frontend::InputKind::KeyEscape: action = "key escape"; break;
    case frontend::InputKind::Close: action = "close"; break;
    case frontend::InputKind::FileChosen: action = "file"; break;
    default: action = "answer"; break;
  }
  JsonObject event;
  event.Text("event", "ignored");
  if (dialogName.empty())
    event.Null("name");
  else
    event.Text("name", dialogName);
  event.Text("action", action).Number("id", input.id).Text("reason", why);
  WriteTranscript(event.Finish());
  if (std::shared_ptr<frontend::FrontEnd> frontEnd = ActiveFrontEnd()) frontEnd->Rejected(input, why);
}


}  // namespace ui::core

namespace ui::frontend {

void RegisterTerminalFrontEnd(FrontEndFactory factory) {
  std::lock_guard<std::mutex> lock(core::hostMutex);
  core::terminalFactory = factory;
}

void RegisterDesktopFrontEnd(FrontEndFactory factory) {
  std::lock_guard<std::mutex> lock(core::hostMutex);
  core::desktopFactory = factory;
}

void InstallFrontEnd(std::unique_ptr<FrontEnd> frontEnd) { core::Install(std::shared_ptr<FrontEnd>(std::move(frontEnd))); }

void ReportMismatch(const std::string& shown, const std::string& expected) {
  std::fprintf(stderr, "linnet: the script does not match what the program shows\n  shown:    %s\n  expected: %s\n",
               shown.c_str(), expected.c_str());
  core::WriteTranscript(
      core::JsonObject().Text("event", "mismatch").Text("shown", shown).Text("expected", expected).Finish());
  ExitProcess(3);
}

}  // namespace ui::frontend

namespace ui {

bool StartFrontEnd() {
  if (core::ActiveFrontEnd()) return true;
  static bool exitHookInstalled = false;
  if (const char* transcript = std::getenv("LINNET_TRANSCRIPT"); transcript && *transcript) {
    if (!core::OpenTranscript(transcript)) {
      std::fprintf(stderr, "linnet: cannot write the transcript %s\n", transcript);
      return false;
    }
  }
  if (!exitHookInstalled) {
    exitHookInstalled = true;
    on_exit(core::AtProcessExit, nullptr);
  }
  std::string whyNot;
  std::unique_ptr<frontend::FrontEnd> frontEnd = core::ChooseFrontEnd(whyNot);
  if (!frontEnd) {
    std::fprintf(stderr, "linnet: %s\n", whyNot.c_str());
    return false;
  }
  core::Install(std::shared_ptr<frontend::FrontEnd>(std::move(frontEnd)));
  return true;
}

void ExitProcess(int code) {
  core::StopActive();
  core::RecordExit(code);
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace ui
