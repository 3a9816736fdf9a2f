// What the whole-wizard tests build around a run: a loopback web site with
// one page per verdict, bookmark files pointing at it, and the stores a
// person's home folder may hold.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/script_run.h"
#include "support/temp_dir.h"

using scripted::Json;
using WizardRun = scripted::RunResult;

struct WizardSetup {
  std::string script;
  std::string home;              // empty: a fresh empty folder
  std::string workingDirectory;  // empty: a fresh empty folder
  bool assumeOnline = true;      // LINNET_ASSUME_ONLINE=1
  bool withoutNetwork = false;   // run in a network namespace with only loopback
  std::map<std::string, std::string> environment;
  std::string binary;            // empty: the program as built
};

// Runs the program with the script. The Wine prefix is the one in the home
// folder, so a run finds only the stores that the test made there.
WizardRun RunLinnet(const WizardSetup& setup);

// A web site on 127.0.0.1 with an ephemeral port, stopped when destroyed:
// /ok answers 200, /gone 404, /broken 500, /slow only when the site stops.
// Url("/gone") is its full address.
class LocalSite {
 public:
  LocalSite();
  ~LocalSite();
  LocalSite(const LocalSite&) = delete;
  LocalSite& operator=(const LocalSite&) = delete;
  std::string Url(const std::string& path) const;
  // An address on which nothing listens: the connection is refused.
  static std::string RefusedUrl();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// (title, url) pairs, in order.
using LinkList = std::vector<std::pair<std::string, std::string>>;

// A bookmark file as browsers write it; links after "folder:NAME" entries
// sit in that folder until "end".
std::string BookmarkFileText(const LinkList& links);

// A Firefox profile in `home` whose bookmark file holds `content`; returns
// the bookmark file's path.
std::string MakeFirefoxProfile(const std::string& home, const std::string& content);

// A Wine prefix in `home` whose favorites folder is drive_c/favs; returns
// that folder's path (created, empty).
std::string MakeWineFavorites(const std::string& home);

// The names in a folder, sorted; "" for a folder that does not exist.
std::vector<std::string> FolderListing(const std::string& folder);

// Every file below `folder` (relative path -> content; folders as "DIR"),
// to prove that a run changed nothing there.
std::map<std::string, std::string> FolderSnapshot(const std::string& folder);

// Takes every backup name of `path` (path itself, path.old, ...) up to the
// longest name a folder entry may have, so that no backup of it can be made,
// whoever runs the test; returns the name the program then tries.
std::string TakeEveryBackupName(const std::string& path);

// The transcript's last event is the exit with this code.
bool EndedWith(const WizardRun& run, int code);

// The script lines that take the wizard from the source dialog (choosing
// the bookmark file `path`) through the check, leaving it at the review
// dialog with the given 404/500/failure choices clicked in DIALOG_2.
std::string ScriptToReview(const std::string& bookmarkFile, const std::string& actionClicks = "click 1");
