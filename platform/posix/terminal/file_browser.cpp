#include "platform/posix/terminal/file_browser.h"

#include "platform/text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace terminal {
namespace {

namespace fs = std::filesystem;

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool Match(std::u16string_view name, std::u16string_view pattern) {
  // Iterative wildcard match with one back-tracking point.
  std::size_t n = 0, p = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::vector<FileFilter> ParseFilter(std::u16string_view filter) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    std::size_t end = filter.find(u'\0', start);
    if (end == std::u16string_view::npos) end = filter.size();
    if (end == start) break;  // the empty entry that ends the list
    parts.emplace_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter entry{parts[i], {}};
    std::u16string_view patterns = parts[i + 1];
    std::size_t from = 0;
    while (from <= patterns.size()) {
      std::size_t to = patterns.find(u';', from);
      if (to == std::u16string_view::npos) to = patterns.size();
      if (to > from) entry.patterns.emplace_back(patterns.substr(from, to - from));
      from = to + 1;
    }
    filters.push_back(std::move(entry));
  }
  return filters;
}

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
  // "*.*" means every file, also those without a dot, as on the platform.
  if (pattern == u"*.*") return true;
  return Match(name, pattern);
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::vector<std::u16string>& patterns) {
  std::vector<FolderEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    std::error_code statError;
    bool isFolder = it->is_directory(statError);  // follows links, so a linked folder can be entered
    if (!isFolder) {
      std::u16string wide = text::Utf8ToUtf16(name);
      bool shown = patterns.empty() ||
                   std::any_of(patterns.begin(), patterns.end(), [&](const auto& p) { return MatchesPattern(wide, p); });
      if (!shown) continue;
    }
    entries.push_back(FolderEntry{name, isFolder});
  }
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    if (a.folder != b.folder) return a.folder;
    bool hiddenA = !a.name.empty() && a.name[0] == '.', hiddenB = !b.name.empty() && b.name[0] == '.';
    if (hiddenA != hiddenB) return hiddenB;
    std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  if (fs::path(folder) != fs::path(folder).root_path()) entries.insert(entries.begin(), FolderEntry{"..", true});
  return entries;
}

std::string ResolvePath(const std::string& typed, const std::string& folder) {
  std::string path = typed;
  if (path == "~" || path.rfind("~/", 0) == 0) {
    const char* home = std::getenv("HOME");
    path = std::string(home ? home : "") + path.substr(1);
  }
  fs::path resolved = fs::path(path).is_absolute() ? fs::path(path) : fs::path(folder) / path;
  std::string out = resolved.lexically_normal().string();
  // "/a/b/" names the folder b: keep it without its trailing separator.
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string ParentFolder(const std::string& path) {
  fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string("/") : parent.string();
}

}  // namespace terminal
