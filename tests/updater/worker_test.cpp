#include <gtest/gtest.h>

#include <ctime>
#include <sys/stat.h>

#include <thread>

#include "platform/text.h"
#include "updater/crc32_file.h"
#include "updater/swap_in.h"
#include "updater/update_worker.h"
#include "worker_fixture.h"

namespace {

using WorkerTest = UpdateRunTest;

TEST_F(WorkerTest, UnchangedChangedAndFailingFiles) {
  server.SetFile("same.exe", "current");
  server.SetFile("old.exe", "new version");
  server.SetIni("noini.exe", "");  // never used: the INI address is dead
  WriteFileBytes(Local("same.exe"), "current");
  WriteFileBytes(Local("old.exe"), "old version");
  WriteFileBytes(Local("old.exe.new"), "leftover from an earlier run");
  WriteFileBytes(Local("noini.exe"), "x");
  WriteFileBytes(Local("nofile.exe"), "x");
  server.SetIni("nofile.exe", "[Hash]\n1=" + Sha1Text("wanted") + "\n");

  NewRequest(4);
  ServerEntry(0, "same.exe");
  ServerEntry(1, "old.exe");
  SetFieldText(ServerEntry(2, "noini.exe").hashSource, u"http://127.0.0.1:1/hash.php?file=./tools/noini.exe");
  SetFieldText(ServerEntry(3, "nofile.exe").downloadUrl, u"http://127.0.0.1:1/tools/nofile.exe");
  UpdateWorker(request.get());

  EXPECT_EQ(entries[0].result, ResultCurrent);
  EXPECT_EQ(server.Hits("/tools/same.exe"), 0);
  EXPECT_FALSE(FileExists(Local("same.exe.new")));

  EXPECT_EQ(entries[1].result, ResultUpdated);
  EXPECT_EQ(ReadFileBytes(Local("old.exe")), "new version");
  EXPECT_EQ(ReadFileBytes(Local("old.exe.old")), "old version");
  EXPECT_FALSE(FileExists(Local("old.exe.new")));

  EXPECT_EQ(entries[2].result, ResultFailed);
  EXPECT_EQ(entries[3].result, ResultFailed);
  EXPECT_EQ(ReadFileBytes(Local("nofile.exe")), "x");
  // The single-file digest INI is gone after each entry.
  EXPECT_FALSE(FileExists(dir.file("RUP.INI")));
}

TEST_F(WorkerTest, DigestComparisonAndVerification) {
  server.SetFile("nokey.exe", "new");
  server.SetIni("nokey.exe", "[Hash]\r\n2=" + Sha1Text("new") + "\r\n");
  server.SetFile("lower.exe", "same");
  std::string lower = Sha1Text("same");
  for (char& c : lower) c = char(std::tolower(c));
  server.SetIni("lower.exe", "[hash]\r\n1=" + lower + "\r\n");
  server.SetFile("bad.exe", "tampered");
  server.SetIni("bad.exe", "[Hash]\r\n1=" + Sha1Text("genuine") + "\r\n");
  WriteFileBytes(Local("nokey.exe"), "old");
  WriteFileBytes(Local("lower.exe"), "same");
  WriteFileBytes(Local("bad.exe"), "old");

  NewRequest(3);
  ServerEntry(0, "nokey.exe");
  ServerEntry(1, "lower.exe");
  ServerEntry(2, "bad.exe");
  UpdateWorker(request.get());

  // No key "1": nothing to verify against, so the copy is kept aside unused.
  EXPECT_EQ(entries[0].result, ResultMismatch);
  EXPECT_EQ(ReadFileBytes(Local("nokey.exe")), "old");
  EXPECT_EQ(ReadFileBytes(Local("nokey.exe.new")), "new");
  // Digests that differ only in letter case are equal.
  EXPECT_EQ(entries[1].result, ResultCurrent);
  EXPECT_EQ(entries[2].result, ResultMismatch);
  EXPECT_EQ(ReadFileBytes(Local("bad.exe")), "old");
  EXPECT_FALSE(FileExists(Local("bad.exe.old")));
}

TEST_F(WorkerTest, SkipModesAndTheModuleThatIsNeverReplaced) {
  for (const char* name : {"keep.exe", "force.exe", "Qx.dll", "QX.DLL", "qx.dll"}) {
    server.SetFile(name, "same");
    WriteFileBytes(Local(name), "same");
  }
  NewRequest(5);
  ServerEntry(0, "keep.exe").skipMode = 1;
  ServerEntry(1, "force.exe").skipMode = 2;
  ServerEntry(2, "Qx.dll").skipMode = 2;
  ServerEntry(3, "QX.DLL").skipMode = 2;
  ServerEntry(4, "qx.dll").skipMode = 2;
  UpdateWorker(request.get());

  EXPECT_EQ(entries[0].result, ResultSkipped);
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/keep.exe"), 0);
  // skipMode 2 downloads and replaces even when the digests match.
  EXPECT_EQ(entries[1].result, ResultUpdated);
  EXPECT_TRUE(FileExists(Local("force.exe.old")));
  // Only the exact spellings QX.DLL and qx.dll are left alone.
  EXPECT_EQ(entries[2].result, ResultUpdated);
  EXPECT_EQ(entries[3].result, ResultCurrent);
  EXPECT_EQ(entries[4].result, ResultCurrent);
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/QX.DLL") + server.Hits("/tools/QX.DLL"), 0);
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/qx.dll") + server.Hits("/tools/qx.dll"), 0);
}

TEST_F(WorkerTest, IndexedDigestIniIsFetchedOncePerRun) {
  server.SetFile("a", "A2");
  server.SetFile("b", "B2");
  server.SetFile("c", "C2");
  server.SetIni("index", "[Hash]\r\n1=" + Sha1Text("A2") + "\r\n2=" + Sha1Text("B1") + "\r\n3=" + Sha1Text("C2") + "\r\n");
  WriteFileBytes(Local("a"), "A1");
  WriteFileBytes(Local("b"), "B1");
  WriteFileBytes(Local("c"), "C1");
  NewRequest(3);
  for (int i = 0; i < 3; ++i) {
    ServerEntry(i, std::string(1, char('a' + i))).hashMethod = ServerSha1Indexed;
    SetFieldText(entries[i].hashSource, server.url16("/hash.php?file=./tools/index"));
  }
  UpdateWorker(request.get());
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/index"), 1);
  EXPECT_EQ(entries[0].result, ResultUpdated);  // key "1"
  EXPECT_EQ(entries[1].result, ResultCurrent);  // key "2"
  EXPECT_EQ(entries[2].result, ResultUpdated);  // key "3"
  EXPECT_TRUE(FileExists(dir.file("RUP.INI")));

  // When the first entry never reaches the digest step, the next one fetches
  // the INI: a stale RUP.INI from an earlier run is never trusted.
  WriteFileBytes(dir.file("RUP.INI"), "[Hash]\r\n2=" + Sha1Text("B2") + "\r\n");
  server.SetIni("index", "[Hash]\r\n2=" + Sha1Text("B3") + "\r\n");
  server.SetFile("b", "B3");
  entries[0].skipMode = 1;
  entries[2].skipMode = 1;
  UpdateWorker(request.get());
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/index"), 2);
  EXPECT_EQ(entries[1].result, ResultUpdated);
  EXPECT_EQ(ReadFileBytes(Local("b")), "B3");
}

TEST_F(WorkerTest, LiteralReferenceCrcAndUnknownHashMethods) {
  const std::string fresh = "fresh copy";
  for (const char* name : {"lit1", "lit3", "ref2", "ref5", "crc4", "other"}) {
    server.SetFile(name, fresh);
    WriteFileBytes(Local(name), "stale");
  }
  WriteFileBytes(Local("reference"), fresh);
  WriteFileBytes(Local("crcfile"), fresh);
  const std::u16string crcText = text::Format(u"%u", unsigned(Crc32File(dir.file16("crcfile"))));
  server.SetIni("crc4", "[Hash]\r\n1=" + text::Utf16ToUtf8(crcText) + "\r\n");

  NewRequest(6);
  UpdateFileEntry& lit1 = ServerEntry(0, "lit1");
  lit1.hashMethod = LiteralSha1;
  SetFieldText(lit1.hashSource, text::Utf8ToUtf16(Sha1Text(fresh)));
  UpdateFileEntry& lit3 = ServerEntry(1, "lit3");
  lit3.hashMethod = LiteralCrc;
  SetFieldText(lit3.hashSource, crcText);
  UpdateFileEntry& ref2 = ServerEntry(2, "ref2");
  ref2.hashMethod = ReferenceSha1;
  SetFieldText(ref2.hashSource, dir.file16("reference"));
  UpdateFileEntry& ref5 = ServerEntry(3, "ref5");
  ref5.hashMethod = ReferenceCrc;
  SetFieldText(ref5.hashSource, dir.file16("reference"));
  ServerEntry(4, "crc4").hashMethod = ServerCrc;
  ServerEntry(5, "other").hashMethod = 7;
  UpdateWorker(request.get());

  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(entries[i].result, ResultUpdated) << i;
    EXPECT_EQ(ReadFileBytes(text::Utf16ToUtf8(FieldText(entries[i].localPath))), fresh) << i;
  }
  // No expected digest: downloaded, but nothing can vouch for the copy.
  EXPECT_EQ(entries[5].result, ResultMismatch);
  EXPECT_EQ(ReadFileBytes(Local("other")), "stale");
}

int confirmCalls = 0;
std::thread::id confirmThread;
int DeclineOther(UpdateFileEntry* entry) {
  ++confirmCalls;
  confirmThread = std::this_thread::get_id();
  return FieldText(entry->localPath).ends_with(u"yes") ? 1 : 0;
}

TEST_F(WorkerTest, ConfirmHookDecidesEachChangedFile) {
  for (const char* name : {"yes", "no", "same"}) server.SetFile(name, "new");
  WriteFileBytes(Local("yes"), "old");
  WriteFileBytes(Local("no"), "old");
  WriteFileBytes(Local("same"), "new");
  NewRequest(3);
  request->confirmHook = DeclineOther;
  ServerEntry(0, "yes");
  ServerEntry(1, "no");
  ServerEntry(2, "same");
  confirmCalls = 0;
  UpdateWorker(request.get());
  EXPECT_EQ(confirmCalls, 2);  // never asked about a current file
  EXPECT_EQ(entries[0].result, ResultUpdated);
  EXPECT_EQ(entries[1].result, ResultDeclined);
  EXPECT_EQ(server.Hits("/tools/no"), 0);
  EXPECT_EQ(entries[2].result, ResultCurrent);
}

TEST_F(WorkerTest, OldCopiesGoToADatedFolder) {
  server.SetFile("linnet", "v2");
  WriteFileBytes(Local("linnet"), "v1");
  ASSERT_EQ(mkdir(dir.file("backup").c_str(), 0777), 0);
  NewRequest(1);
  request->keepOldCopies = 1;
  SetFieldText(request->backupFolder, dir.file16("backup"));
  ServerEntry(0, "linnet");
  std::time_t before = std::time(nullptr);
  UpdateWorker(request.get());
  std::time_t after = std::time(nullptr);
  EXPECT_EQ(entries[0].result, ResultUpdated);
  EXPECT_FALSE(FileExists(Local("linnet.old")));
  bool found = false;
  for (std::time_t t : {before, after}) {
    std::tm when = *std::localtime(&t);
    std::string folder = text::Utf16ToUtf8(DatedBackupFolder(dir.file16("backup"), when));
    if (FileExists(folder + "/linnet.old")) {
      found = true;
      EXPECT_EQ(ReadFileBytes(folder + "/linnet.old"), "v1");
    }
  }
  EXPECT_TRUE(found);

  std::tm when{};
  when.tm_mon = 11;
  when.tm_mday = 8;
  when.tm_year = 126;
  when.tm_hour = 9;
  when.tm_min = 5;
  EXPECT_EQ(DatedBackupFolder(u"/backup", when), u"/backup/12-8-2026-9-5");
}

TEST_F(WorkerTest, TheNewCopyKeepsThePermissionsOfTheOneItReplaces) {
  server.SetFile("linnet", "v2");
  WriteFileBytes(Local("linnet"), "v1");
  // An unusual mode, so that a default one cannot pass for it.
  ASSERT_EQ(chmod(Local("linnet").c_str(), 0751), 0);
  NewRequest(1);
  ServerEntry(0, "linnet");
  UpdateWorker(request.get());
  EXPECT_EQ(entries[0].result, ResultUpdated);
  EXPECT_EQ(ReadFileBytes(Local("linnet")), "v2");
  struct stat st {};
  ASSERT_EQ(stat(Local("linnet").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
}

TEST_F(WorkerTest, FailedSwapPutsTheOldCopyBack) {
  WriteFileBytes(Local("app"), "running copy");
  bool oldMoved = true;
  // The staged copy has vanished: the file must not be left missing.
  EXPECT_FALSE(SwapIn(dir.file16("app"), dir.file16("app.new"), dir.file16("app.old"), oldMoved));
  EXPECT_FALSE(oldMoved);
  EXPECT_EQ(ReadFileBytes(Local("app")), "running copy");
  EXPECT_FALSE(FileExists(Local("app.old")));

  // With no local copy yet the staged one simply takes its place.
  WriteFileBytes(Local("fresh.new"), "staged");
  EXPECT_TRUE(SwapIn(dir.file16("fresh"), dir.file16("fresh.new"), dir.file16("fresh.old"), oldMoved));
  EXPECT_FALSE(oldMoved);
  EXPECT_EQ(ReadFileBytes(Local("fresh")), "staged");
}

TEST_F(WorkerTest, MissingLocalFileIsFetched) {
  server.SetFile("absent", "first copy");
  NewRequest(1);
  ServerEntry(0, "absent");
  UpdateWorker(request.get());
  EXPECT_EQ(entries[0].result, ResultUpdated);
  EXPECT_EQ(ReadFileBytes(Local("absent")), "first copy");
  EXPECT_FALSE(FileExists(Local("absent.old")));
}

}  // namespace
