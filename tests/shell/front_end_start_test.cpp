#include <gtest/gtest.h>

#include "support/script_run.h"

namespace {

TEST(Program, WithoutAnyFrontEndItSaysWhyAndFails) {
  // No script and no terminal (standard input is /dev/null): nothing can
  // show the dialogs, so the program must not go on as if answered.
  scripted::RunOptions options;
  options.useScript = false;
  options.environment["DISPLAY"] = "";  // nor a desktop, whatever the test runs under
  options.environment["WAYLAND_DISPLAY"] = "";
  const scripted::RunResult run = scripted::RunScript(options);
  EXPECT_FALSE(run.timedOut);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.exitCode, -1);
  EXPECT_FALSE(run.errorOutput.empty());
  for (const scripted::Json* e : run.Events("dialog")) ADD_FAILURE() << "showed " << (*e)["name"].Str();
}

}  // namespace
