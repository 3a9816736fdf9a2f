// The Internet Explorer branch of the wizard, run as the real program through
// its script front end, against favorites in a Wine-style prefix.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "favorites_fixture.h"

#ifndef LINNET_BINARY
#define LINNET_BINARY "linnet"
#endif

namespace fs = std::filesystem;

namespace {

// A web site on an ephemeral loopback port: /ok answers 200, /gone 404.
class Site {
 public:
  Site() {
    server_.Get("/ok", [](const httplib::Request&, httplib::Response& res) { res.set_content("ok", "text/plain"); });
    server_.Get("/gone", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~Site() {
    server_.stop();
    thread_.join();
  }
  std::string Root() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

// The "text" of every message box in a transcript, in order.
std::vector<std::string> MessageTexts(const std::string& transcript) {
  std::vector<std::string> texts;
  std::istringstream lines(transcript);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("\"event\":\"msgbox\"") == std::string::npos) continue;
    std::size_t at = line.find("\"text\":\"");
    if (at == std::string::npos) continue;
    std::string text;
    for (std::size_t i = at + 8; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] != '\\' || i + 1 >= line.size()) {
        text += line[i];
        continue;
      }
      char e = line[++i];
      text += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
    texts.push_back(text);
  }
  return texts;
}

// Runs the program in `work` with HOME=`home` and the script, stopped after a
// minute at most; returns its exit code and fills `transcript`.
int RunProgram(const std::string& home, const std::string& work, const std::string& script, std::string& transcript) {
  TempDir files;
  WriteFileBytes(files.file("script.txt"), script);
  const std::string command = "cd '" + work + "' && env -u WINEPREFIX HOME='" + home +
                              "' USER=tester LINNET_SCRIPT='" + files.file("script.txt") + "' LINNET_TRANSCRIPT='" +
                              files.file("transcript.jsonl") + "' LINNET_ASSUME_ONLINE=1 timeout -s KILL 60 " +
                              LINNET_BINARY + " </dev/null >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  transcript = ReadFileBytes(files.file("transcript.jsonl"));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::string> Listing(const std::string& root) {
  std::set<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    out.insert(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  return out;
}

}  // namespace

TEST(FavoritesWizard, BacksUpThenRewritesTheFavoritesOfTheWinePrefix) {
  Site site;
  TempDir home, work;
  const std::string prefix = home.file(".wine");
  const std::string favorites = prefix + "/drive_c/users/tester/Favorites";
  fs::create_directories(prefix + "/dosdevices");
  fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  WriteFileBytes(home.file(".wine/user.reg"),
                 "WINE REGISTRY Version 2\n\n"
                 "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders] 1733740000\n"
                 "\"Favorites\"=str(2):\"%USERPROFILE%\\\\Favorites\"\n");
  PutFile(favorites, "News/Site.url", Shortcut(site.Root() + "/ok"));
  PutFile(favorites, "Gone.url", Shortcut(site.Root() + "/gone"));
  PutFile(favorites, "Ελληνικά.URL", Shortcut(site.Root() + "/ok?gr"));
  PutFile(favorites, "desktop.ini", "[.ShellClassInfo]\r\n");
  fs::create_directories(favorites + "/Empty");

  // Internet Explorer as source and target; the 404 is fixed (the default).
  const std::string script =
      "dialog DIALOG_1: click 201, click 1\n"
      "dialog DIALOG_2: click 1\n"
      "msgbox ok\n"
      "dialog DIALOG_3: wait\n"
      "dialog DIALOG_4: click 1\n"
      "dialog DIALOG_5: click 201, click 1\n"
      "msgbox ok\n"
      "msgbox ok\n";
  const std::string realFavorites = fs::canonical(favorites).string();
  std::string transcript;
  for (const std::string backup : {"iebackup.htm", "iebackup.htm.old"}) {
    SCOPED_TRACE(backup);
    const std::string before = ReadFileBytes(favorites + "/Gone.URL");
    ASSERT_EQ(RunProgram(home.path(), work.path(), script, transcript), 0) << transcript;
    std::vector<std::string> texts = MessageTexts(transcript);
    ASSERT_EQ(texts.size(), 3u) << transcript;
    EXPECT_EQ(texts[0].find("You are now ready to check a total of 3 favorites."), 0u) << texts[0];
    const std::string copy = work.file(backup == std::string("iebackup.htm") ? "iebackup-shortcuts"
                                                                              : "iebackup-shortcuts.old");
    EXPECT_EQ(texts[1], "LNT will keep a backup of your current IE favorites in " + work.file(backup) +
                            ".\r\nAn exact copy of every shortcut file is saved to " + copy);
    EXPECT_EQ(texts[2], "File saving completed. Thanks for using LNT 3.0!");

    // The backup holds the favorites as they were before this run.
    const std::string saved = ReadFileBytes(work.file(backup));
    EXPECT_NE(saved.find(site.Root() + "/ok\""), std::string::npos) << saved;
    EXPECT_NE(saved.find(">Ελληνικά</A>"), std::string::npos) << saved;
    EXPECT_NE(saved.find(before.empty() ? site.Root() + "/gone" : site.Root() + "\""), std::string::npos) << saved;

    // The favorites now hold the results: every shortcut rewritten, the 404
    // cut back to its site, the other files and folders kept.
    EXPECT_EQ(Listing(realFavorites),
              (std::set<std::string>{"Deleted Bookmarks/", "desktop.ini", "Empty/", "Gone.URL", "News/",
                                     "News/Site.URL", "Ελληνικά.URL"}));
    EXPECT_EQ(ReadFileBytes(favorites + "/Gone.URL"), Shortcut(site.Root()));
    EXPECT_EQ(ReadFileBytes(favorites + "/News/Site.URL"), Shortcut(site.Root() + "/ok"));
  }
  EXPECT_TRUE(FileExists(work.file("iebackup.htm")));
  EXPECT_FALSE(FileExists(work.file("iebackup.htm.old.old")));
}
