#include "platform/posix/ui/script_testing.h"

#include "platform/portable/ui/script_front_end.h"
#include "platform/portable/ui/transcript.h"
#include "platform/posix/ui/frontend.h"
#include "platform/posix/ui/thread_queue.h"

namespace ui::test {

bool StartScriptFrontEnd(std::string_view scriptText, const std::string& transcriptPath, std::string* error,
                         long idleMs) {
  std::string why;
  std::unique_ptr<frontend::FrontEnd> frontEnd = core::MakeScriptFrontEnd(scriptText, why, idleMs);
  if (!frontEnd) {
    if (error) *error = why;
    return false;
  }
  if (!transcriptPath.empty() && !core::OpenTranscript(transcriptPath)) {
    if (error) *error = "cannot write " + transcriptPath;
    return false;
  }
  frontend::InstallFrontEnd(std::move(frontEnd));
  return true;
}

void StopFrontEnd() {
  frontend::InstallFrontEnd(nullptr);
  // Leftovers (wake-ups, late results) must not reach the next test's loops.
  while (core::TakePosted()) {
  }
  core::CloseTranscript();
}

}  // namespace ui::test
