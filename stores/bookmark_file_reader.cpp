// Reading a bookmark file: not an HTML parser but a scan for four markers
// ("<DT>", "</DL>", "<A", "HREF=") and three single characters, so that files
// written by any browser, or by hand, load the same way they always have.
#include <cstring>

#include "platform/files.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// The first occurrence of one marker at or after a position. Every finder
// below is asked with positions that never go back, so remembering the last
// answer keeps the whole scan linear, however far ahead a search runs (the
// "HREF=" search is not confined to its tag, and a missing "</DL>" would
// otherwise be searched for to the end of the file on every item).
struct MarkerFinder {
  std::string_view marker;
  std::size_t askedFrom = 0;
  std::size_t found = kNotFound;
  bool known = false;
};

std::size_t FindFrom(MarkerFinder& finder, std::string_view content, std::size_t from) {
  if (finder.known && from >= finder.askedFrom && (finder.found == kNotFound || from <= finder.found))
    return finder.found;
  finder.askedFrom = from;
  finder.found = from >= content.size() ? kNotFound : content.find(finder.marker, from);
  finder.known = true;
  return finder.found;
}

// The current folder path as bytes from the file, names joined by '\', and
// the folders its leading components have already been resolved to. Only the
// reader changes the tree while it runs, and it only ever creates folders
// below the deepest resolved one, so the remembered folders never move.
struct FolderPath {
  std::string bytes;
  struct Level {
    std::size_t end;  // where the component ends in `bytes`
    BookmarkFolder* folder;
  };
  std::vector<Level> resolved;
};

void ForgetLevelsBeyond(FolderPath& path) {
  while (!path.resolved.empty() && path.resolved.back().end > path.bytes.size()) path.resolved.pop_back();
}

void OpenLevel(FolderPath& path, std::string_view name) {
  if (!path.bytes.empty() && path.bytes.back() != '\\') path.bytes.push_back('\\');
  path.bytes.append(name);
}

void CloseLevel(FolderPath& path) {
  if (!path.bytes.empty() && path.bytes.back() == '\\') path.bytes.pop_back();
  std::size_t last = path.bytes.rfind('\\');
  path.bytes.resize(last == std::string::npos ? 0 : last);
  ForgetLevelsBeyond(path);
}

// Folders are walked recursively everywhere else (collecting, applying,
// writing, freeing), so a file nested absurdly deep (no browser writes
// anything near this) must not make a tree that overflows the stack: headings
// below this depth put their links in the deepest folder allowed.
constexpr std::size_t kMaxFolderDepth = 10000;

// The folder that the current path names below the root: the same folder that
// FindOrCreateFolder gives for the path with a '\' appended. Splitting the
// bytes at '\' before converting them is the same as converting first, since
// the conversion never folds an ASCII byte into a malformed sequence.
BookmarkFolder& CurrentFolder(FolderPath& path, BookmarkFolder& root) {
  std::size_t at = path.resolved.empty() ? 0 : path.resolved.back().end;
  BookmarkFolder* folder = path.resolved.empty() ? &root : path.resolved.back().folder;
  const std::string& bytes = path.bytes;
  while (at < bytes.size() && path.resolved.size() < kMaxFolderDepth) {
    if (bytes[at] == '\\') {
      ++at;
      continue;
    }
    std::size_t end = bytes.find('\\', at);
    if (end == std::string::npos) end = bytes.size();
    folder = &FindOrCreateSubfolder(*folder, text::Utf8ToUtf16(std::string_view(bytes).substr(at, end - at)));
    path.resolved.push_back({end, folder});
    at = end;
  }
  return *folder;
}

std::string_view Between(std::string_view content, std::size_t from, std::size_t to) {
  return content.substr(from, to - from);
}

}  // namespace

void ScanBookmarkContent(std::string_view content, BookmarkFolder& root) {
  // The file is taken as a zero-terminated string.
  if (const void* zero = std::memchr(content.data(), 0, content.size()))
    content = content.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - content.data()));

  // One finder per marker and per kind of item, so that each sees only
  // positions that grow.
  MarkerFinder itemStart{"<DT>"}, levelEnd{"</DL>"}, href{"HREF="}, quote{"\""};
  MarkerFinder linkTitleStart{">"}, linkTitleEnd{"<"}, headingNameStart{">"}, headingNameEnd{"<"};

  FolderPath path;
  std::size_t pos = 0;
  for (;;) {
    std::size_t dt = FindFrom(itemStart, content, pos);
    std::size_t dl = FindFrom(levelEnd, content, pos);
    if (dt != kNotFound && dl != kNotFound && dl < dt) {
      CloseLevel(path);
      pos = dl + 1;
      continue;
    }
    if (dt == kNotFound) break;

    std::size_t afterTag = dt + 4;
    bool isLink = afterTag + 1 < content.size() && content[afterTag] == '<' &&
                  (content[afterTag + 1] == 'A' || content[afterTag + 1] == 'a');
    std::size_t next = kNotFound;  // where scanning resumes; kNotFound: skip the item
    if (isLink) {
      std::size_t h = FindFrom(href, content, afterTag);
      // The byte after "HREF=" is taken for the opening quote, whatever it is.
      std::size_t urlStart = h == kNotFound ? kNotFound : h + 6;
      std::size_t q = urlStart == kNotFound ? kNotFound : FindFrom(quote, content, urlStart);
      std::size_t gt = q == kNotFound ? kNotFound : FindFrom(linkTitleStart, content, q);
      std::size_t lt = gt == kNotFound ? kNotFound : FindFrom(linkTitleEnd, content, gt + 1);
      if (lt != kNotFound) {
        BookmarkLink link;
        link.url = text::Utf8ToUtf16(Between(content, urlStart, q));
        link.title = text::Utf8ToUtf16(Between(content, gt + 1, lt));
        CurrentFolder(path, root).links.push_back(std::move(link));
        next = lt;
      }
    } else {
      std::size_t gt = FindFrom(headingNameStart, content, afterTag);
      std::size_t lt = gt == kNotFound ? kNotFound : FindFrom(headingNameEnd, content, gt + 1);
      if (lt != kNotFound) {
        OpenLevel(path, Between(content, gt + 1, lt));
        next = lt;
      }
    }
    pos = next == kNotFound ? dt + 1 : next;
  }
}

void ReadBookmarkFile(std::u16string_view path, BookmarkFolder& root) {
  std::string content;
  if (!files::ReadWholeFile(path, content)) return;
  ScanBookmarkContent(content, root);
}
