// What the file dialogs browse: the folders and the files that the
// dialog's filter lets through, and the path a person types, resolved.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace terminal {

struct FileFilter {
  std::u16string name;
  std::vector<std::u16string> patterns;  // "*.HTM", "*.HTML"
};

// The "name\0pattern;pattern\0...\0" list of a file dialog.
std::vector<FileFilter> ParseFilter(std::u16string_view filter);

// Wildcard match (* and ?) without regard to ASCII letter case, as file
// names are matched on the platform the patterns come from.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);

struct FolderEntry {
  std::string name;  // UTF-8, as on disk
  bool folder = false;
};

// ".." (except at the root), then folders, then matching files, each sorted
// without regard to case, hidden ones after the others. An empty pattern
// list lets every file through.
std::vector<FolderEntry> ListFolder(const std::string& folder, const std::vector<std::u16string>& patterns);

// A typed path made absolute: "~" is the home folder, a relative path is
// taken from `folder`, and "." and ".." are resolved in the text.
std::string ResolvePath(const std::string& typed, const std::string& folder);

std::string ParentFolder(const std::string& path);

}  // namespace terminal
