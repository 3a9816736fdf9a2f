// Shared set-up for tests that run update requests: a loopback update
// server, a temporary folder that is also the current directory (the digest
// INI lives there), and requests built field by field.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "update_server.h"
#include "updater/update_request.h"

class UpdateRunTest : public ::testing::Test {
 protected:
  UpdateRunTest();
  ~UpdateRunTest() override;

  // A request over `count` entries, in the given display mode, hidden by default.
  UpdateRequest& NewRequest(int count, int displayMode = ModeHidden);
  // Entry i updates dir/<name> from the server's /tools/<name>, by the
  // server's SHA-1 digest.
  UpdateFileEntry& ServerEntry(int i, const std::string& name);

  std::string Local(const std::string& name) const { return dir.file(name); }

  UpdateServer server;
  TempDir dir;
  std::unique_ptr<UpdateRequest> request;
  std::vector<UpdateFileEntry> entries;

 private:
  std::string savedCwd_;
};
