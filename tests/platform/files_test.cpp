#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/replacing_file.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> Entries(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReadWholeFile, ReadsEveryByteOrFails) {
  using namespace std::string_literals;
  TempDir dir;
  std::string bytes = "a\0b\r\n\xff"s + std::string(200000, 'z');
  WriteFileBytes(dir.file("f \xc3\xa9.bin"), bytes);
  std::string read = "stale";
  ASSERT_TRUE(files::ReadWholeFile(dir.file16("f \xc3\xa9.bin"), read));
  EXPECT_EQ(read, bytes);
  WriteFileBytes(dir.file("empty"), "");
  ASSERT_TRUE(files::ReadWholeFile(dir.file16("empty"), read));
  EXPECT_EQ(read, "");
  EXPECT_FALSE(files::ReadWholeFile(dir.file16("missing"), read));
  EXPECT_FALSE(files::ReadWholeFile(dir.path16(), read));
  EXPECT_TRUE(files::CanOpenForReading(dir.file16("empty")));
  EXPECT_FALSE(files::CanOpenForReading(dir.path16()));
  EXPECT_FALSE(files::CanOpenForReading(dir.file16("missing")));
  EXPECT_FALSE(files::CanOpenForReading(u""));
  // A pipe with no writer (a favorites entry may be one) is refused at
  // once instead of waiting for ever.
  ASSERT_EQ(::mkfifo(dir.file("pipe.url").c_str(), 0600), 0);
  EXPECT_FALSE(files::ReadWholeFile(dir.file16("pipe.url"), read));
  EXPECT_FALSE(files::CanOpenForReading(dir.file16("pipe.url")));
}

TEST(WriteFileReplacing, ReplacesWholeOrLeavesEverythingAsItWas) {
  TempDir dir;
  std::u16string reason;
  // New file: usual permissions.
  ASSERT_TRUE(files::WriteFileReplacing(dir.file16("new"), "fresh", &reason));
  EXPECT_EQ(ReadFileBytes(dir.file("new")), "fresh");
  // Replacing keeps the old file's permissions.
  ::chmod(dir.file("new").c_str(), 0600);
  ASSERT_TRUE(files::WriteFileReplacing(dir.file16("new"), std::string(3 << 20, 'x'), &reason));
  EXPECT_EQ(ReadFileBytes(dir.file("new")), std::string(3 << 20, 'x'));
  struct stat st;
  ASSERT_EQ(::stat(dir.file("new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_TRUE(files::WriteFileReplacing(dir.file16("new"), "", &reason));
  EXPECT_EQ(ReadFileBytes(dir.file("new")), "");

  // Failures: a missing folder, a folder as target, a path through a file.
  reason.clear();
  EXPECT_FALSE(files::WriteFileReplacing(dir.file16("missing/f"), "x", &reason));
  EXPECT_FALSE(reason.empty());
  std::filesystem::create_directory(dir.file("sub"));
  reason.clear();
  EXPECT_FALSE(files::WriteFileReplacing(dir.file16("sub"), "x", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
  EXPECT_FALSE(files::WriteFileReplacing(dir.file16("new/f"), "x", nullptr));
  EXPECT_FALSE(files::WriteFileReplacing(u"", "x", nullptr));
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{"new", "sub"}));
}

TEST(ReplacingFile, TheTargetChangesOnlyOnASuccessfulCommit) {
  TempDir dir;
  WriteFileBytes(dir.file("t"), "old");
  {
    files::ReplacingFile file;
    ASSERT_TRUE(file.Open(dir.file16("t")));
    file.Write("part");
    EXPECT_EQ(ReadFileBytes(dir.file("t")), "old");
    EXPECT_EQ(Entries(dir).size(), 2u);  // the target and the temporary file beside it
  }  // abandoned
  EXPECT_EQ(ReadFileBytes(dir.file("t")), "old");
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"t"});

  files::ReplacingFile file;
  ASSERT_TRUE(file.Open(dir.file16("t")));
  file.Write("new ");
  file.Write("content");
  std::u16string reason;
  ASSERT_TRUE(file.Commit(&reason));
  EXPECT_EQ(ReadFileBytes(dir.file("t")), "new content");
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"t"});
  // Committing twice, or without opening, fails and touches nothing.
  EXPECT_FALSE(file.Commit(&reason));
  files::ReplacingFile unopened;
  unopened.Write("x");
  EXPECT_FALSE(unopened.Commit(&reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(ReadFileBytes(dir.file("t")), "new content");

  // The temporary file vanishing under the writer: the commit reports it.
  files::ReplacingFile lost;
  ASSERT_TRUE(lost.Open(dir.file16("t")));
  lost.Write("doomed");
  for (const std::string& name : Entries(dir))
    if (name != "t") std::filesystem::remove(dir.file(name));
  reason.clear();
  EXPECT_FALSE(lost.Commit(&reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(ReadFileBytes(dir.file("t")), "new content");
}

TEST(ListDirectory, ListsDotsFirstThenNamesWithoutRegardToCase) {
  TempDir dir;
  for (const char* name : {"b.url", "A.url", "_x", "a2", "\xc3\xa9t\xc3\xa9"}) WriteFileBytes(dir.file(name), "");
  std::filesystem::create_directory(dir.file("Sub"));
  std::vector<files::DirEntry> entries;
  ASSERT_TRUE(files::ListDirectory(dir.path16(), entries));
  std::vector<std::u16string> names;
  for (const auto& e : entries) names.push_back(e.name + (e.isDirectory ? u"/" : u""));
  // Names compare upper-cased, so "_" (after "Z") comes after every letter.
  EXPECT_EQ(names, (std::vector<std::u16string>{u"./", u"../", u"A.url", u"a2", u"b.url", u"Sub/", u"_x",
                                                u"\u00e9t\u00e9"}));
  EXPECT_FALSE(files::ListDirectory(dir.file16("missing"), entries));
}

TEST(ReplacingFile, AWriteRemovesWhatInterruptedWritesToItsTargetLeft) {
  TempDir dir;
  WriteFileBytes(dir.file("bookmarks.html"), "old");
  // A write in progress, here, while other writes die with their process.
  files::ReplacingFile inProgress;
  ASSERT_TRUE(inProgress.Open(dir.file16("bookmarks.html")));
  inProgress.Write("in progress");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Two interrupted writes to the target, one to another file beside it.
    auto* first = new files::ReplacingFile;
    auto* second = new files::ReplacingFile;
    auto* other = new files::ReplacingFile;
    bool opened = first->Open(dir.file16("bookmarks.html")) && second->Open(dir.file16("bookmarks.html")) &&
                  other->Open(dir.file16("other.html"));
    first->Write("half");
    _exit(opened ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  auto temporaries = [&](const std::string& target) {
    int count = 0;
    for (const std::string& name : Entries(dir))
      if (name != target && name.find(target) != std::string::npos) ++count;
    return count;
  };
  ASSERT_EQ(temporaries("bookmarks.html"), 3);
  ASSERT_EQ(temporaries("other.html"), 1);

  ASSERT_TRUE(files::WriteFileReplacing(dir.file16("bookmarks.html"), "new"));
  EXPECT_EQ(ReadFileBytes(dir.file("bookmarks.html")), "new");
  // The stale ones of this target are gone; the one in use and the other
  // target's are not.
  EXPECT_EQ(temporaries("bookmarks.html"), 1);
  EXPECT_EQ(temporaries("other.html"), 1);
  ASSERT_TRUE(inProgress.Commit());
  EXPECT_EQ(ReadFileBytes(dir.file("bookmarks.html")), "in progress");
  EXPECT_EQ(temporaries("bookmarks.html"), 0);
}

}  // namespace
