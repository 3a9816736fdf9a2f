#include "stores/locate_stores.h"

#include <algorithm>
#include <vector>

#include "model/app_state.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/known_folders.h"

void LocateFavorites() {
  std::u16string value;
  registry::QueryCurrentUserValue(u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                  u"Favorites", value);
  // No key or no value leaves the folder unknown (empty): there is no other source.
  favoritesFolder = registry::ExpandEnvironmentStrings(value);
}

namespace {

// The bookmark store of one profile folder: its bookmark file, or else its
// places database (a profile of today has no bookmark file: Firefox writes
// one only when asked to). Empty when it has neither.
std::u16string StoreOfProfile(const std::u16string& folder) {
  std::u16string candidate = files::MatchExistingCase(files::JoinPath(folder, u"BOOKMARKS.HTML"));
  if (files::CanOpenForReading(candidate)) return candidate;
  candidate = files::JoinPath(folder, u"places.sqlite");
  if (files::CanOpenForReading(candidate)) return candidate;
  return {};
}

std::u16string_view TrimBlanks(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t' || s.front() == u'\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) s.remove_suffix(1);
  return s;
}

// The profiles Firefox itself starts with, as its profiles.ini names them:
// the default of each installation first, then the profile marked as the
// default. A profile folder's name says nothing of this: Firefox makes one
// "....default" profile that it never uses beside the "....default-release"
// that holds the bookmarks, and either may be listed first.
std::vector<std::u16string> ProfilesFirefoxStarts(const std::u16string& profiles) {
  std::vector<std::u16string> installs, marked;
  // On Linux the list lies beside the profiles, on Windows one folder up
  // (its paths then start with "Profiles/").
  const std::size_t up = profiles.find_last_of(files::kSeparator);
  for (const std::u16string& base : {profiles, up == std::u16string::npos ? std::u16string() : profiles.substr(0, up)}) {
    std::string bytes;
    if (base.empty() || !files::ReadWholeFile(files::JoinPath(base, u"profiles.ini"), bytes)) continue;
    // Relative paths are written with "/" on every system; joined with the
    // system's own separator they are paths as the person knows them.
    auto under = [&](std::u16string_view relative) {
      std::u16string path(relative);
      for (char16_t& c : path)
        if (c == u'/') c = files::kSeparator;
      return files::JoinPath(base, path);
    };
    const std::u16string text = text::Utf8ToUtf16(bytes);
    std::u16string_view section;
    std::u16string path;
    bool relative = true, isDefault = false;
    auto endProfile = [&] {
      if (text::EqualsAsciiNoCase(section.substr(0, std::min<std::size_t>(section.size(), 7)), u"Profile") &&
          isDefault && !path.empty())
        marked.push_back(relative ? under(path) : path);
      path.clear();
      relative = true;
      isDefault = false;
    };
    std::u16string_view rest = text;
    while (!rest.empty()) {
      std::size_t end = rest.find(u'\n');
      std::u16string_view line = TrimBlanks(rest.substr(0, end));
      rest.remove_prefix(end == std::u16string_view::npos ? rest.size() : end + 1);
      if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
        endProfile();
        section = line.substr(1, line.size() - 2);
        continue;
      }
      std::size_t eq = line.find(u'=');
      if (eq == std::u16string_view::npos) continue;
      std::u16string_view key = TrimBlanks(line.substr(0, eq)), value = TrimBlanks(line.substr(eq + 1));
      const bool install = text::EqualsAsciiNoCase(section.substr(0, std::min<std::size_t>(section.size(), 7)), u"Install");
      if (install && text::EqualsAsciiNoCase(key, u"Default") && !value.empty())
        installs.push_back(under(value));
      else if (text::EqualsAsciiNoCase(key, u"Path"))
        path = value;
      else if (text::EqualsAsciiNoCase(key, u"IsRelative"))
        relative = value != u"0";
      else if (text::EqualsAsciiNoCase(key, u"Default"))
        isDefault = value == u"1";
    }
    endProfile();
    break;
  }
  installs.insert(installs.end(), marked.begin(), marked.end());
  return installs;
}

}  // namespace

void LocateFirefoxBookmarks() {
  for (const std::u16string& profiles : special_folders::FirefoxProfileFolders()) {
    for (const std::u16string& folder : ProfilesFirefoxStarts(profiles)) {
      std::u16string store = StoreOfProfile(folder);
      if (!store.empty()) {
        firefoxBookmarkFile = store;
        return;
      }
    }
    std::vector<files::DirEntry> entries;
    if (!files::ListDirectory(profiles, entries)) continue;
    // Otherwise only the first profile whose name holds "default" counts,
    // file or folder alike, matched as the system's "*default*" pattern
    // matches it.
    const files::DirEntry* profile = nullptr;
    for (const files::DirEntry& entry : entries) {
      if (files::UpperCaseName(entry.name).find(u"DEFAULT") != std::u16string::npos) {
        profile = &entry;
        break;
      }
    }
    if (!profile) continue;
    std::u16string store = StoreOfProfile(files::JoinPath(profiles, profile->name));
    if (!store.empty()) {
      firefoxBookmarkFile = store;
      return;
    }
  }
}
