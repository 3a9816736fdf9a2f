#include "worker_fixture.h"

#include <unistd.h>

#include "platform/text.h"

UpdateRunTest::UpdateRunTest() {
  char buf[4096];
  savedCwd_ = getcwd(buf, sizeof buf) ? buf : "/";
  EXPECT_EQ(chdir(dir.path().c_str()), 0);
}

UpdateRunTest::~UpdateRunTest() { EXPECT_EQ(chdir(savedCwd_.c_str()), 0); }

UpdateRequest& UpdateRunTest::NewRequest(int count, int displayMode) {
  request = std::make_unique<UpdateRequest>();
  entries.assign(count > 0 ? count : 1, UpdateFileEntry{});
  request->recordSize = kUpdateRequestSize;
  request->formatVersion = kUpdateFormatVersion;
  SetFieldText(request->caption, u"LNT");
  SetFieldText(request->language, u"EN");
  request->fileCount = count;
  request->files = entries.data();
  request->displayMode = displayMode;
  request->useRequestPath = 1;
  for (auto& e : entries) {
    e.entrySize = kUpdateFileEntrySize;
    e.entryVersion = kUpdateEntryVersion;
    e.result = -1;
  }
  return *request;
}

UpdateFileEntry& UpdateRunTest::ServerEntry(int i, const std::string& name) {
  UpdateFileEntry& e = entries[i];
  SetFieldText(e.localPath, text::Utf8ToUtf16(dir.file(name)));
  SetFieldText(e.downloadUrl, server.url16("/tools/" + name));
  SetFieldText(e.hashSource, server.url16("/hash.php?file=./tools/" + name));
  SetFieldText(e.description, u"Program Executable");
  e.hashMethod = ServerSha1;
  return e;
}
