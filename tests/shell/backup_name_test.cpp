#include <gtest/gtest.h>

#include <filesystem>

#include "shell/backup_name.h"
#include "support/temp_dir.h"

namespace {

TEST(FindFreeBackupName, NeverNamesAnExistingFile) {
  TempDir dir;
  const std::u16string name = dir.file16("bookmarks.html");

  // Nothing there yet: the name itself is free.
  EXPECT_EQ(FindFreeBackupName(name), name);

  WriteFileBytes(dir.file("bookmarks.html"), "current");
  EXPECT_EQ(FindFreeBackupName(name), name + u".old");

  WriteFileBytes(dir.file("bookmarks.html.old"), "first backup");
  EXPECT_EQ(FindFreeBackupName(name), name + u".old.old");

  WriteFileBytes(dir.file("bookmarks.html.old.old"), "second backup");
  EXPECT_EQ(FindFreeBackupName(name), name + u".old.old.old");

  // Only the chain from the name counts: a missing link in it is free.
  std::filesystem::remove(dir.file("bookmarks.html.old"));
  EXPECT_EQ(FindFreeBackupName(name), name + u".old");

  // Other names in the folder do not matter.
  EXPECT_EQ(FindFreeBackupName(dir.file16("iebackup.htm")), dir.file16("iebackup.htm"));
}

TEST(FindFreeBackupName, AnythingOfTheNameIsTaken) {
  TempDir dir;
  const std::u16string name = dir.file16("bookmarks.html");
  WriteFileBytes(dir.file("bookmarks.html"), "current");
  // An older backup that cannot be read is still a backup, never overwritten.
  WriteFileBytes(dir.file("bookmarks.html.old"), "first backup");
  std::filesystem::permissions(dir.file("bookmarks.html.old"), std::filesystem::perms::none);
  // Neither is anything else of the name: a folder, a link that leads nowhere.
  std::filesystem::create_directory(dir.file("bookmarks.html.old.old"));
  std::filesystem::create_symlink(dir.file("nowhere"), dir.file("bookmarks.html.old.old.old"));
  EXPECT_EQ(FindFreeBackupName(name), name + u".old.old.old.old");
}

TEST(FindFreeBackupName, KeepsNamesOutsideAsciiWhole) {
  TempDir dir;
  WriteFileBytes(dir.file("Lesezeichen \xC3\xBC\xE2\x82\xAC.html"), "x");
  const std::u16string name = dir.path16() + u"/Lesezeichen \u00FC\u20AC.html";
  EXPECT_EQ(FindFreeBackupName(name), name + u".old");
}

}  // namespace
