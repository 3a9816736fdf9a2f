// Runs the linnet program from a script with a fake home and reads back its
// transcript: for what only the whole program shows (the process exits from
// the review dialog, the saved file).
#pragma once

#include <string>
#include <vector>

#include "support/transcript_json.h"

struct ProgramRun {
  int exitCode = -1;  // -1: killed after the time limit, or no normal exit
  std::vector<scripted::Json> events;
  std::string errorOutput;

  std::vector<std::string> MessageTexts() const;
  bool ShowedDialog(const std::string& name) const;
  std::string Summary() const;
};

// `workDir` is the program's current directory; HOME is a fresh folder inside it.
ProgramRun RunProgram(const std::string& script, const std::string& workDir, int timeLimitSeconds = 60);
