// Runs UI code in the test's own thread, answered by a script.
#pragma once

#include "platform/posix/ui/script_testing.h"
#include "platform/ui.h"
#include "support/script_run.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

class ScriptedUi : public ::testing::Test {
 protected:
  void TearDown() override { ui::test::StopFrontEnd(); }

  // Installs a new script (and a new transcript) for what follows.
  void Script(const std::string& text) {
    ui::test::StopFrontEnd();
    ++runs_;
    std::string error;
    ASSERT_TRUE(ui::test::StartScriptFrontEnd(text, TranscriptPath(), &error)) << error;
  }

  std::string TranscriptPath() const { return dir_.file("transcript" + std::to_string(runs_) + ".jsonl"); }
  std::vector<scripted::Json> Events() const { return scripted::ReadTranscript(TranscriptPath()); }
  std::vector<scripted::Json> Events(const std::string& kind) const {
    std::vector<scripted::Json> found;
    for (auto& event : Events())
      if (event["event"].Str() == kind) found.push_back(event);
    return found;
  }

  TempDir dir_;
  int runs_ = 0;
};

inline int CommandId(ui::WParam wParam) { return static_cast<int>(wParam & 0xFFFF); }
