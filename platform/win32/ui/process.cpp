// Starting the front end (the real dialogs, driven by a script when
// LINNET_SCRIPT names one) and the ways out of the process.
#include "platform/win32/ui/script_driver.h"
#include "platform/win32/ui/ui_state.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/portable/ui/script_front_end.h"
#include "platform/portable/ui/transcript.h"
#include "platform/text.h"

namespace ui::win32_ui {
bool& LaunchesUrls();
}

namespace ui {
namespace {

std::atomic<bool> exitRecorded{false};

void RecordExit(int code) {
  if (exitRecorded.exchange(true)) return;
  core::WriteTranscript(core::JsonObject().Text("event", "exit").Number("code", code).Finish());
}

void RecordExitAtEnd() { RecordExit(0); }

}  // namespace

bool StartFrontEnd() {
  static bool started = false;
  if (started) return true;
  win32_ui::SetDialogThread(::GetCurrentThreadId());
  const std::u16string transcript = files::GetEnvironmentVariable(u"LINNET_TRANSCRIPT");
  if (!transcript.empty() && !core::OpenTranscript(text::Utf16ToUtf8(transcript))) {
    std::fprintf(stderr, "linnet: cannot write the transcript %s\n", text::Utf16ToUtf8(transcript).c_str());
    return false;
  }
  std::atexit(RecordExitAtEnd);
  const std::u16string scriptPath = files::GetEnvironmentVariable(u"LINNET_SCRIPT");
  if (!scriptPath.empty()) {
    std::string script;
    if (!files::ReadWholeFile(scriptPath, script)) {
      std::fprintf(stderr, "linnet: cannot read the script %s\n", text::Utf16ToUtf8(scriptPath).c_str());
      return false;
    }
    std::string error;
    std::unique_ptr<frontend::FrontEnd> frontEnd = core::MakeScriptFrontEnd(script, error);
    if (!frontEnd) {
      std::fprintf(stderr, "linnet: %s\n", error.c_str());
      return false;
    }
    win32_ui::LaunchesUrls() = frontEnd->LaunchesUrls();
    win32_ui::StartScriptDriver(std::move(frontEnd));
  }
  started = true;
  return true;
}

void ExitProcess(int code) {
  RecordExit(code);
  std::fflush(nullptr);
  ::ExitProcess(static_cast<UINT>(code));
}

}  // namespace ui

namespace ui::frontend {

void ReportMismatch(const std::string& shown, const std::string& expected) {
  std::fprintf(stderr, "linnet: the script does not match what the program shows\n  shown:    %s\n  expected: %s\n",
               shown.c_str(), expected.c_str());
  core::WriteTranscript(
      core::JsonObject().Text("event", "mismatch").Text("shown", shown).Text("expected", expected).Finish());
  ExitProcess(3);
}

}  // namespace ui::frontend
