// The in-memory bookmark collection: nested folders holding links.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

enum LinkStatus : std::int32_t {
  Unchecked = 0,  // not (yet) checked; never listed or changed
  Keep = 1,
  Delete = 2,     // moved into "Deleted Bookmarks" when results are applied
  Fix = 3,        // URL cut back to its site root when results are applied
};

// How an item's texts (URL, title, folder name) are held.
enum class TextForm : std::uint8_t {
  // As a bookmark file writes them: HTML text whose character references
  // ("&amp;") are not decoded. Every item the program makes is in this form.
  Markup,
  // The characters themselves, as the browsers' own stores and shortcut files
  // hold them; a bookmark file must escape them.
  Plain,
};

// What a store holds of an item that most items do not have, apart from the
// item itself so that the many items without any of it stay small.
struct StoredDetails {
  // A bookmark file: the description that followed the item (the text after
  // "<DD>"), as written.
  std::optional<std::string> description;
  // A bookmark file: the bytes of the title (a folder's name) and of the URL
  // as read, kept only where they are not valid UTF-8, since the UTF-16 text
  // would not give them back.
  std::optional<std::string> rawTitle;
  std::optional<std::string> rawUrl;
  // An internet shortcut: the whole file as read, so that its other keys and
  // sections survive a rewrite.
  std::optional<std::string> shortcut;
  // A browser's own store: the item's identity there (a row id, a node id).
  std::string storeId;
};

// What the store an item came from holds of it beyond the program's own
// fields, carried along untouched so that writing the item back loses
// nothing. Shared and never changed once read: copies of an item share it.
struct StoredItem {
  TextForm form = TextForm::Markup;
  // A bookmark file's heading: whether it carried FOLDED.
  bool folded = true;
  // A bookmark file: the attributes of the item's tag but HREF (and a
  // heading's FOLDED), each with a space before it, in the form they are
  // written back: the dates first, in the places the format gives them
  // (ADD_DATE, LAST_VISIT and LAST_MODIFIED for a link, ADD_DATE for a
  // heading), then the others as written. Empty: the format's empty dates.
  std::string attributes;
  std::unique_ptr<StoredDetails> details;

  StoredDetails& Details() {
    if (!details) details = std::make_unique<StoredDetails>();
    return *details;
  }
  // The item's identity in a browser's own store; empty for other stores.
  const std::string& StoreId() const {
    static const std::string none;
    return details ? details->storeId : none;
  }
};

// Where an item stood among the items of its folder in the store it was read
// from: items are written back in this order. 0 means the program added the
// item, and it goes where the program puts such items.
using ItemOrder = std::uint32_t;

struct BookmarkLink {
  std::u16string url;
  std::u16string title;
  std::u16string folderPath;  // relative to the root, names joined by '\'
  LinkStatus status = Unchecked;
  ItemOrder order = 0;
  std::shared_ptr<const StoredItem> stored;  // null: nothing beyond the fields above
};

// A separator line between the items of a folder.
struct BookmarkSeparator {
  ItemOrder order = 0;
  std::string text;  // a bookmark file: the tag as written ("<HR>")
  std::string storeId;
};

// A lookup aid for folders with many sub-folders: the position of the first
// sub-folder for each name folded to lower case (A to Z only). It covers
// folders[0, covered) and catches up with folders appended by anyone else the
// next time a name is looked up, so it never changes which folder is found.
// Sub-folders are only ever appended in this program; renaming or removing
// one after a lookup would need the index cleared. Nothing but the sub-folder
// lookup reads or writes it.
struct SubfolderIndex {
  std::unordered_map<std::u16string, std::size_t> firstByName;
  std::size_t covered = 0;
};

struct BookmarkFolder {
  std::u16string name;
  std::vector<BookmarkFolder> folders;
  std::vector<BookmarkLink> links;
  SubfolderIndex subfolderIndex;
  ItemOrder order = 0;  // of the folder's heading among its parent's items
  std::shared_ptr<const StoredItem> stored;
  std::vector<BookmarkSeparator> separators;
};

// Growing a sequence of folders or links must move the sub-trees it holds,
// never copy them.
static_assert(std::is_nothrow_move_constructible_v<BookmarkFolder>);
static_assert(std::is_nothrow_move_constructible_v<BookmarkLink>);

// The tree is its root folder.
using BookmarkTree = BookmarkFolder;

// The links to check, in collection order. The pointers refer into the tree's
// own link storage, so the tree's structure must not change from CollectLinks
// until the results have been applied.
struct CheckQueue {
  std::vector<BookmarkLink*> links;
  std::uint32_t nextIndex = 0;  // next link to hand out; only grows
};

// Returns the folder at or below `folder` that link.folderPath names, creating
// missing folders at the end of their parent's sub-folders. Consumes folderPath.
// Sibling names match when equal with only A-Z compared without case; the
// first match wins.
BookmarkFolder& FindOrCreateFolder(BookmarkFolder& folder, BookmarkLink& link);

// One level of FindOrCreateFolder: the first sub-folder of `parent` whose name
// matches `name` (A-Z without case), or a new one appended at the end.
// Appending may move the other sub-folders of `parent` (not `parent` itself).
BookmarkFolder& FindOrCreateSubfolder(BookmarkFolder& parent, std::u16string_view name);

// Appends every link of the subtree to queue.links, sub-folders (depth first)
// before each folder's own links, and returns how many there were.
std::uint32_t CollectLinks(BookmarkFolder& folder, CheckQueue& queue);
