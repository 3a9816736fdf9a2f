#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "updater/program_request.h"
#include "updater/update_host.h"

namespace {

TEST(BuildProgramRequest, OwnExecutableWithLowerCasedNameAndServerAddresses) {
  auto request = std::make_unique<UpdateRequest>();
  auto entry = std::make_unique<UpdateFileEntry>();
  ASSERT_TRUE(BuildProgramRequest(*request, *entry, u"LNT", u"{GUID}", u"/Apps/LINNET.EXE", u"127.0.0.1:8080"));
  EXPECT_EQ(request->recordSize, 2460u);
  EXPECT_EQ(request->formatVersion, 100u);
  EXPECT_EQ(FieldText(request->caption), u"LNT");
  EXPECT_EQ(FieldText(request->appGuid), u"{GUID}");
  EXPECT_EQ(FieldText(request->language), u"EN");
  EXPECT_EQ(request->fileCount, 1);
  EXPECT_EQ(request->files, entry.get());
  EXPECT_EQ(request->displayMode, 0);
  EXPECT_EQ(request->noticeHook, nullptr);
  EXPECT_EQ(request->confirmHook, nullptr);
  EXPECT_EQ(request->keepOldCopies, 0);
  EXPECT_EQ(FieldText(request->backupFolder), u"");
  EXPECT_EQ(request->useRequestPath, 1);

  EXPECT_EQ(entry->entrySize, 12032u);
  EXPECT_EQ(entry->entryVersion, 100u);
  // The addresses use the lower-cased name; the local file keeps its own
  // spelling, which is what names it on a case-sensitive file system.
  EXPECT_EQ(FieldText(entry->localPath), u"/Apps/LINNET.EXE");
  EXPECT_EQ(FieldText(entry->downloadUrl), u"http://127.0.0.1:8080/tools/linnet.exe");
  EXPECT_EQ(FieldText(entry->hashSource), u"http://127.0.0.1:8080/hash.php?file=./tools/linnet.exe");
  EXPECT_EQ(FieldText(entry->description), u"Program Executable");
  EXPECT_EQ(entry->hashMethod, 1);
  EXPECT_EQ(entry->skipMode, 0);
  EXPECT_EQ(entry->keepStaleNew, 0);
  EXPECT_EQ(entry->result, 0);
  // The rest of every text field is zero.
  for (std::size_t i = FieldText(entry->localPath).size(); i < 1000; ++i) ASSERT_EQ(entry->localPath[i], 0);

  // A path without a folder part cannot be updated.
  EXPECT_FALSE(BuildProgramRequest(*request, *entry, u"LNT", u"{GUID}", u"LINNET", u"host"));
}

TEST(UpdateHost, EnvironmentOverridesTheBuildDefault) {
  const char* saved = std::getenv("LINNET_UPDATE_HOST");
  std::string keep = saved ? saved : "";
  unsetenv("LINNET_UPDATE_HOST");
  EXPECT_EQ(UpdateHost(), u"" LINNET_DEFAULT_UPDATE_HOST);
  setenv("LINNET_UPDATE_HOST", "", 1);
  EXPECT_EQ(UpdateHost(), u"" LINNET_DEFAULT_UPDATE_HOST);
  setenv("LINNET_UPDATE_HOST", "127.0.0.1:5555", 1);
  EXPECT_EQ(UpdateHost(), u"127.0.0.1:5555");
  if (saved) setenv("LINNET_UPDATE_HOST", keep.c_str(), 1); else unsetenv("LINNET_UPDATE_HOST");
}

}  // namespace
