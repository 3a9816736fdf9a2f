// Reading a bookmark file: not an HTML parser but a scan for four markers
// ("<DT>", "</DL>", "<A", "HREF=") and three single characters, so that files
// written by any browser, or by hand, load the same way they always have.
//
// What the scan decides (which items are links, their URLs, titles and
// folders) is all the rest of the program sees of the file. Everything else
// a browser wrote is kept beside the items it belongs to, so that writing the
// tree back loses nothing: the other attributes of each tag, the description
// after an item, separators, folders without links, and where each item
// stood among its folder's items.
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"
#include "stores/bookmark_tag.h"

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

// Folders are walked recursively everywhere else (collecting, applying,
// writing, freeing), so a file nested absurdly deep (no browser writes
// anything near this) must not make a tree that overflows the stack: headings
// below this depth put their links in the deepest folder allowed, and are not
// kept as folders of their own.
constexpr std::size_t kMaxFolderDepth = 10000;

// One open heading. Its folder comes into the tree only when a link is placed
// in it or below it, found or made by name the way every link's folder is.
// Until then (and for good, if no link ever comes) what belongs to it waits
// in `pending`.
struct Level {
  std::string_view name;  // bytes from the file: one name, whatever it holds
  ItemOrder order = 0;
  std::shared_ptr<StoredItem> heading;
  BookmarkFolder* folder = nullptr;  // once resolved
  std::uint32_t index = 0;           // of `folder` among its parent's folders
  std::unique_ptr<BookmarkFolder> pending;
};

// A folder without links, to be added once every link has found its folder:
// added earlier, it could be taken for a later heading of the same name and
// change where that heading's links go and in which order they are checked.
struct EmptyFolder {
  std::vector<std::uint32_t> parentPath;  // indices from the root
  BookmarkFolder folder;
};

struct Reader {
  std::string_view content;
  BookmarkFolder& root;
  std::vector<Level> levels;
  std::vector<EmptyFolder> emptyFolders;
  ItemOrder nextOrder = 0;

  // The item just read, which a description may follow.
  BookmarkLink* lastLink = nullptr;
  Level* lastHeading = nullptr;
  std::shared_ptr<StoredItem> lastLinkStored;

  ItemOrder NextOrder() { return ++nextOrder; }

  std::size_t ResolvedDepth() const {
    std::size_t depth = 0;
    while (depth < levels.size() && levels[depth].folder) ++depth;
    return depth;
  }

  std::vector<std::uint32_t> PathTo(std::size_t depth) const {
    std::vector<std::uint32_t> path;
    path.reserve(depth);
    for (std::size_t i = 0; i < depth; ++i) path.push_back(levels[i].index);
    return path;
  }

  // The folder of the deepest open level that has one, or the root.
  BookmarkFolder& DeepestResolved() {
    std::size_t depth = ResolvedDepth();
    return depth == 0 ? root : *levels[depth - 1].folder;
  }

  // The folder the current levels name below the root, made where missing.
  // Only the levels themselves hold folders while the scan runs, and folders
  // are only ever made below the deepest resolved level, so the folders they
  // remember never move.
  BookmarkFolder& CurrentFolder() {
    std::size_t depth = ResolvedDepth();
    BookmarkFolder* folder = depth == 0 ? &root : levels[depth - 1].folder;
    for (; depth < levels.size() && depth < kMaxFolderDepth; ++depth) {
      Level& level = levels[depth];
      BookmarkFolder& parent = *folder;
      folder = &FindOrCreateSubfolder(parent, text::Utf8ToUtf16(level.name));
      level.folder = folder;
      level.index = static_cast<std::uint32_t>(folder - parent.folders.data());
      // The first heading of a folder gives it its place and attributes; a
      // later heading of the same name only adds its items.
      if (folder->order == 0) {
        folder->order = level.order;
        folder->stored = level.heading;
      }
      if (level.pending) AdoptPending(depth, *folder, *level.pending);
      level.pending.reset();
    }
    return *folder;
  }

  void AdoptPending(std::size_t depth, BookmarkFolder& folder, BookmarkFolder& pending) {
    for (BookmarkSeparator& separator : pending.separators) folder.separators.push_back(std::move(separator));
    if (pending.folders.empty()) return;
    std::vector<std::uint32_t> path = PathTo(depth + 1);
    for (BookmarkFolder& sub : pending.folders) emptyFolders.push_back({path, std::move(sub)});
  }

  // Where a separator or an empty folder of the innermost level goes: its
  // folder, the root, or what waits for the folder. Null beyond the deepest
  // level kept.
  BookmarkFolder* Innermost() {
    if (levels.empty()) return &root;
    if (levels.size() > kMaxFolderDepth) return nullptr;
    Level& level = levels.back();
    if (level.folder) return level.folder;
    if (!level.pending) level.pending = std::make_unique<BookmarkFolder>();
    return level.pending.get();
  }

  void OpenLevel(std::string_view name, std::string_view tag) {
    Level level;
    level.name = name;
    level.order = NextOrder();
    if (levels.size() < kMaxFolderDepth) level.heading = ReadHeadingTag(tag, name);
    levels.push_back(std::move(level));
    lastLink = nullptr;
    lastHeading = &levels.back();
  }

  // A level that closes without a folder of its own was a heading without
  // links: it is kept as an empty folder where it stood.
  void CloseLevel() {
    lastLink = nullptr;
    lastHeading = nullptr;
    if (levels.empty()) return;
    Level level = std::move(levels.back());
    levels.pop_back();
    if (level.folder || levels.size() >= kMaxFolderDepth) return;
    BookmarkFolder empty = level.pending ? std::move(*level.pending) : BookmarkFolder();
    empty.name = text::Utf8ToUtf16(level.name);
    empty.order = level.order;
    empty.stored = std::move(level.heading);
    if (!levels.empty() && !levels.back().folder) {
      Level& parent = levels.back();
      if (!parent.pending) parent.pending = std::make_unique<BookmarkFolder>();
      parent.pending->folders.push_back(std::move(empty));
    } else {
      emptyFolders.push_back({PathTo(levels.size()), std::move(empty)});
    }
  }

  void AddLink(std::string_view url, std::string_view title, std::string_view attributesBefore,
               std::string_view attributesAfter) {
    BookmarkFolder& folder = CurrentFolder();
    BookmarkLink link;
    link.url = text::Utf8ToUtf16(url);
    link.title = text::Utf8ToUtf16(title);
    link.order = NextOrder();
    lastLinkStored = ReadLinkTag(attributesBefore, attributesAfter, url, title);
    link.stored = lastLinkStored;
    folder.links.push_back(std::move(link));
    lastLink = &folder.links.back();
    lastHeading = nullptr;
  }

  void AddDescription(std::string_view description) {
    if (lastLink) {
      if (!lastLinkStored) {
        lastLinkStored = std::make_shared<StoredItem>();
        lastLink->stored = lastLinkStored;
      }
      lastLinkStored->Details().description.emplace(description);
    } else if (lastHeading && lastHeading->heading) {
      lastHeading->heading->Details().description.emplace(description);
    } else if (lastHeading && levels.size() <= kMaxFolderDepth) {
      lastHeading->heading = std::make_shared<StoredItem>();
      lastHeading->heading->Details().description.emplace(description);
    }
    lastLink = nullptr;
    lastHeading = nullptr;
  }

  void AddSeparator(std::string_view tag) {
    lastLink = nullptr;
    lastHeading = nullptr;
    BookmarkFolder* folder = Innermost();
    if (!folder) return;
    BookmarkSeparator separator;
    separator.order = NextOrder();
    separator.text.assign(tag);
    folder->separators.push_back(std::move(separator));
  }

  // The text between items: descriptions and separators, which the scan
  // itself passes over.
  void ReadBetween(std::size_t from, std::size_t to) {
    std::string_view gap = content.substr(from, to - from);
    for (std::size_t at = gap.find('<'); at != kNotFound; at = gap.find('<', at + 1)) {
      std::string_view rest = gap.substr(at);
      if (IsDescriptionTag(rest)) {
        std::size_t end = rest.find('<', 4);
        AddDescription(TrimTrailingBlanks(rest.substr(4, end == kNotFound ? kNotFound : end - 4)));
        if (end == kNotFound) break;
        at += end - 1;
      } else if (IsSeparatorTag(rest)) {
        // A separator's tag ends at its ">"; one that another tag interrupts
        // is written as a plain one.
        std::size_t end = rest.find_first_of("<>", 1);
        if (end != kNotFound && rest[end] == '>') {
          AddSeparator(rest.substr(0, end + 1));
          at += end;
        } else {
          AddSeparator("<HR>");
        }
      }
    }
  }

  // Levels the file never closed are closed at its end, and the folders
  // without links join the tree.
  void Finish() {
    while (!levels.empty()) CloseLevel();
    for (EmptyFolder& empty : emptyFolders) {
      BookmarkFolder* parent = &root;
      for (std::uint32_t index : empty.parentPath) parent = &parent->folders[index];
      parent->folders.push_back(std::move(empty.folder));
    }
  }
};

std::string_view Between(std::string_view content, std::size_t from, std::size_t to) {
  return content.substr(from, to - from);
}

}  // namespace

void ScanBookmarkContent(std::string_view content, BookmarkFolder& root) {
  // One finder per marker and per kind of item, so that each sees only
  // positions that grow.
  MarkerFinder itemStart{"<DT>"}, levelEnd{"</DL>"}, href{"HREF="}, quote{"\""};
  MarkerFinder linkTitleStart{">"}, linkTitleEnd{"<"}, headingNameStart{">"}, headingNameEnd{"<"};

  Reader reader{content, root};
  std::size_t pos = 0;
  for (;;) {
    std::size_t dt = FindFrom(itemStart, content, pos);
    std::size_t dl = FindFrom(levelEnd, content, pos);
    std::size_t gapEnd = dt == kNotFound ? (dl == kNotFound ? content.size() : dl) : (dl < dt ? dl : dt);
    if (gapEnd > pos) reader.ReadBetween(pos, gapEnd);
    // Closing tags after the last item change no link's folder, but they say
    // where the separators among them stand.
    if (dl != kNotFound && (dt == kNotFound || dl < dt)) {
      reader.CloseLevel();
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
        reader.AddLink(Between(content, urlStart, q), Between(content, gt + 1, lt),
                       Between(content, afterTag + 2, h), Between(content, q + 1, gt));
        next = lt;
      }
    } else {
      std::size_t gt = FindFrom(headingNameStart, content, afterTag);
      std::size_t lt = gt == kNotFound ? kNotFound : FindFrom(headingNameEnd, content, gt + 1);
      if (lt != kNotFound) {
        reader.OpenLevel(Between(content, gt + 1, lt), Between(content, afterTag, gt));
        next = lt;
      }
    }
    pos = next == kNotFound ? dt + 1 : next;
  }
  reader.Finish();
}

void ReadBookmarkFile(std::u16string_view path, BookmarkFolder& root) {
  std::string content;
  if (!files::ReadWholeFile(path, content)) return;
  ScanBookmarkContent(content, root);
}
