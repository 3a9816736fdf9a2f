#include "wizard_fixture.h"

#include <httplib.h>
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <filesystem>
#include <thread>

WizardRun RunLinnet(const WizardSetup& setup) {
  scripted::RunOptions options;
  options.script = setup.script;
  if (!setup.binary.empty()) options.binary = setup.binary;
  options.environment = setup.environment;
  options.workingDirectory = setup.workingDirectory;
  // The home folder is made here when the test did not bring one, so that
  // the Wine prefix can be pointed into it.
  std::shared_ptr<TempDir> home;
  if (setup.home.empty()) home = std::make_shared<TempDir>();
  options.home = setup.home.empty() ? home->path() : setup.home;
  options.environment["WINEPREFIX"] = options.home + "/.wine";
  if (setup.assumeOnline) options.environment["LINNET_ASSUME_ONLINE"] = "1";
  if (setup.withoutNetwork) {
    options.arguments = {"-n", options.binary};
    options.binary = "/usr/bin/unshare";
  }
  WizardRun run = scripted::RunScript(options);
  if (home) run.folders.push_back(home);
  return run;
}

struct LocalSite::Impl {
  httplib::Server server;
  std::thread thread;
  int port = 0;
  std::mutex mutex;
  std::condition_variable stopping;
  bool stopped = false;
};

LocalSite::LocalSite() : impl_(std::make_unique<Impl>()) {
  impl_->server.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("fine", "text/plain");
  });
  // A moment's delay keeps the checking dialog open long enough to be
  // addressed by its script line.
  impl_->server.Get("/gone", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    res.status = 404;
    res.set_content("not here", "text/plain");
  });
  impl_->server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content("oops", "text/plain");
  });
  // Answers only when the site stops (or after half a minute), so that a
  // check that includes it is still running when the test acts.
  impl_->server.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
    std::unique_lock<std::mutex> lock(impl_->mutex);
    impl_->stopping.wait_for(lock, std::chrono::seconds(30), [this] { return impl_->stopped; });
    res.set_content("late", "text/plain");
  });
  impl_->server.set_keep_alive_max_count(1);
  impl_->port = impl_->server.bind_to_any_port("127.0.0.1");
  impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
  // The socket already listens; waiting for the accept loop keeps stop()
  // from racing its start.
  for (int i = 0; i < 500 && !impl_->server.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

LocalSite::~LocalSite() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->stopped = true;
  }
  impl_->stopping.notify_all();
  impl_->server.stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

std::string LocalSite::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(impl_->port) + path;
}

std::string LocalSite::RefusedUrl() {
  // Bind a port and close it again: nothing listens there afterwards.
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  close(s);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
}

std::string BookmarkFileText(const LinkList& links) {
  std::string out =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
  for (const auto& [title, url] : links) {
    if (title.rfind("folder:", 0) == 0) {
      out += "<DT><H3 ADD_DATE=\"1\">" + title.substr(7) + "</H3>\n<DL><p>\n";
    } else if (title == "end") {
      out += "</DL><p>\n";
    } else {
      out += "<DT><A HREF=\"" + url + "\" ADD_DATE=\"1\">" + title + "</A>\n";
    }
  }
  out += "</DL><p>\n";
  return out;
}

std::string MakeFirefoxProfile(const std::string& home, const std::string& content) {
  const std::string profile = home + "/.mozilla/firefox/x1y2z3.default-release";
  std::filesystem::create_directories(profile);
  WriteFileBytes(profile + "/bookmarks.html", content);
  return profile + "/bookmarks.html";
}

std::string MakeWineFavorites(const std::string& home) {
  const std::string prefix = home + "/.wine";
  std::filesystem::create_directories(prefix + "/drive_c/favs");
  std::filesystem::create_directories(prefix + "/dosdevices");
  std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  WriteFileBytes(prefix + "/user.reg",
                 "WINE REGISTRY Version 2\n"
                 ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                 "#arch=win64\n\n"
                 "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders] 1700000000\n"
                 "#time=1d9b0c0c0c0c0c0\n"
                 "\"Favorites\"=str(2):\"C:\\\\favs\"\n\n");
  return prefix + "/drive_c/favs";
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> FolderSnapshot(const std::string& folder) {
  std::map<std::string, std::string> snapshot;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    const std::string relative = std::filesystem::relative(it->path(), folder).string();
    if (it->is_symlink()) snapshot[relative] = "LINK";
    else if (it->is_directory()) snapshot[relative] = "DIR";
    else snapshot[relative] = ReadFileBytes(it->path().string());
  }
  return snapshot;
}

std::string TakeEveryBackupName(const std::string& path) {
  std::string name = path;
  if (!std::filesystem::exists(path)) WriteFileBytes(path, "taken");
  for (;;) {
    name += ".old";
    if (std::filesystem::path(name).filename().string().size() > 255) return name;
    WriteFileBytes(name, "taken");
  }
}

bool EndedWith(const WizardRun& run, int code) {
  return run.exitCode == code && !run.events.empty() && run.events.back()["event"].Str() == "exit" &&
         run.events.back()["code"].Int() == code;
}

std::string ScriptToReview(const std::string& bookmarkFile, const std::string& actionClicks) {
  return "dialog DIALOG_1: click 203, click 1\n"
         "open " + bookmarkFile + "\n"
         "dialog DIALOG_2: " + actionClicks + "\n"
         "msgbox ok\n"
         "dialog DIALOG_3: wait\n";
}
