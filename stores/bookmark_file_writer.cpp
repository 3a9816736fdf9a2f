// Writing a bookmark file in the layout every browser imports: a fixed header,
// one heading per folder and one line per link, CR LF line ends. Text read
// from a bookmark file is written as it was read; plain text from other stores
// is escaped so that it reads back whole.
#include <algorithm>
#include <vector>

#include "model/item_text.h"
#include "platform/replacing_file.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"
#include "stores/bookmark_tag.h"

namespace {

constexpr std::string_view kHeader =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "\t<!--This is an automatically generated file.\r\n"
    "\tIt will be read and overwritten.\r\n"
    "\tDo Not Edit! -->\r\n"
    "\t<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "   <Title>Bookmarks</Title>\r\n"
    "   <H1>Bookmarks</H1>\r\n"
    "\t<DL>\r\n";
// The body's own last line already closes the top-level list; this second
// closing tag is what readers of these files have always been given.
constexpr std::string_view kTrailer = "</DL>";

constexpr std::u16string_view kHeadingBefore = u"<DT><H3 FOLDED ADD_DATE=\"\">";
constexpr std::u16string_view kHeadingAfter = u"</H3>\r\n<DL><p>\r\n";
constexpr std::u16string_view kLinkBefore = u"<DT><A HREF=\"";
constexpr std::u16string_view kLinkMiddle = u"\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">";
constexpr std::u16string_view kLinkAfter = u"</A>\r\n";
constexpr std::u16string_view kFolderClose = u"</DL><p>\r\n";

// The body is produced piece by piece into one of two sinks: UTF-16 text for
// FormatFolder, or UTF-8 bytes for the file, passed on to the file in chunks
// so that a large tree is never held twice over. Every inserted text stands
// between ASCII pieces, so converting piece by piece gives the same bytes as
// converting the whole body at once. Bytes kept from the file that was read
// (attributes, descriptions, text that is not UTF-8) go into the file as
// they are.
struct Utf16Sink {
  std::u16string text;
  void Add(std::u16string_view piece) { text.append(piece); }
  void AddBytes(std::string_view bytes) { text::AppendUtf8AsUtf16(text, bytes); }
};
struct Utf8Sink {
  static constexpr std::size_t kChunk = 1 << 20;
  std::string bytes;
  files::ReplacingFile* file = nullptr;  // none: keep all the bytes
  void Add(std::u16string_view piece) {
    text::AppendUtf16AsUtf8(bytes, piece);
    Flush();
  }
  void AddBytes(std::string_view piece) {
    bytes.append(piece);
    Flush();
  }
  void Flush() {
    if (file && bytes.size() >= kChunk) {
      file->Write(bytes);
      bytes.clear();
    }
  }
};

// An item's text: as read where the bytes could not be held as UTF-16,
// escaped where it is plain text, otherwise as it stands.
template <typename Sink>
void AddText(Sink& sink, std::u16string_view text, const StoredItem* stored,
             const std::optional<std::string> StoredDetails::*raw, bool inAttribute) {
  if (!stored) return sink.Add(text);
  if (stored->details) {
    if (const std::optional<std::string>& bytes = stored->details.get()->*raw;
        bytes && text::Utf8ToUtf16(*bytes) == text)
      return sink.AddBytes(*bytes);
  }
  if (stored->form == TextForm::Plain) return sink.Add(EscapeMarkup(text, inAttribute));
  sink.Add(text);
}

template <typename Sink>
void AddDescription(Sink& sink, const StoredItem* stored) {
  if (!stored || !stored->details || !stored->details->description) return;
  sink.Add(u"<DD>");
  sink.AddBytes(*stored->details->description);
  sink.Add(u"\r\n");
}

bool HasDescription(const StoredItem* stored) { return stored && stored->details && stored->details->description; }

template <typename Sink>
void AddLink(Sink& sink, const BookmarkLink& link) {
  const StoredItem* stored = link.stored.get();
  sink.Add(kLinkBefore);
  AddText(sink, link.url, stored, &StoredDetails::rawUrl, true);
  if (!stored || stored->attributes.empty()) {
    sink.Add(kLinkMiddle);
  } else {
    sink.Add(u"\"");
    sink.AddBytes(stored->attributes);
    sink.Add(u">");
  }
  AddText(sink, link.title, stored, &StoredDetails::rawTitle, false);
  sink.Add(kLinkAfter);
  AddDescription(sink, stored);
}

template <typename Sink>
void AddHeading(Sink& sink, const BookmarkFolder& folder) {
  const StoredItem* stored = folder.stored.get();
  if (!stored || (stored->folded && stored->attributes.empty())) {
    sink.Add(kHeadingBefore);
  } else {
    sink.Add(stored->folded ? u"<DT><H3 FOLDED" : u"<DT><H3");
    if (stored->attributes.empty())
      sink.Add(u" ADD_DATE=\"\"");
    else
      sink.AddBytes(stored->attributes);
    sink.Add(u">");
  }
  AddText(sink, folder.name, stored, &StoredDetails::rawTitle, false);
  if (!HasDescription(stored)) return sink.Add(kHeadingAfter);
  sink.Add(u"</H3>\r\n");
  AddDescription(sink, stored);
  sink.Add(u"<DL><p>\r\n");
}

template <typename Sink>
void AddSeparator(Sink& sink, const BookmarkSeparator& separator) {
  sink.AddBytes(separator.text.empty() ? std::string_view("<HR>") : std::string_view(separator.text));
  sink.Add(u"\r\n");
}

template <typename Sink>
void AddFolder(Sink& sink, const BookmarkFolder& folder, bool topLevel);

// A folder's items where they stood in the store they were read from. Items
// the program added have no place there: a folder (the deleted links'
// folder) goes after the last folder that was read, as it goes after every
// other folder in a tree the program made, and a link at the end.
struct StoreOrder {
  std::uint64_t lastFolder = 0, last = 0;

  explicit StoreOrder(const BookmarkFolder& folder) {
    for (const BookmarkFolder& sub : folder.folders) lastFolder = std::max<std::uint64_t>(lastFolder, sub.order);
    last = lastFolder;
    for (const BookmarkLink& link : folder.links) last = std::max<std::uint64_t>(last, link.order);
    for (const BookmarkSeparator& separator : folder.separators)
      last = std::max<std::uint64_t>(last, separator.order);
  }
  std::uint64_t FolderKey(ItemOrder order) const {
    return order ? 2 * std::uint64_t{order} : (lastFolder ? 2 * lastFolder + 1 : 0);
  }
  std::uint64_t OtherKey(ItemOrder order) const { return order ? 2 * std::uint64_t{order} : 2 * last + 1; }
};

// Whether the format's own layout (sub-folders, then links) already is the
// store's order, as it is for every folder of a tree the program made and for
// most folders of a file: then nothing needs sorting.
bool LayoutIsStoreOrder(const BookmarkFolder& folder, const StoreOrder& order) {
  if (!folder.separators.empty()) return false;
  std::uint64_t previous = 0;
  for (const BookmarkFolder& sub : folder.folders) {
    std::uint64_t key = order.FolderKey(sub.order);
    if (key < previous) return false;
    previous = key;
  }
  for (const BookmarkLink& link : folder.links) {
    std::uint64_t key = order.OtherKey(link.order);
    if (key < previous) return false;
    previous = key;
  }
  return true;
}

template <typename Sink>
void AddFolder(Sink& sink, const BookmarkFolder& folder, bool topLevel);

template <typename Sink>
void AddItemsInStoreOrder(Sink& sink, const BookmarkFolder& folder, const StoreOrder& order) {
  struct Entry {
    std::uint64_t key;
    std::uint32_t kind;  // 0 folder, 1 link, 2 separator
    std::uint32_t index;
  };
  std::vector<Entry> entries;
  entries.reserve(folder.folders.size() + folder.links.size() + folder.separators.size());
  for (std::uint32_t i = 0; i < folder.folders.size(); ++i)
    entries.push_back({order.FolderKey(folder.folders[i].order), 0, i});
  for (std::uint32_t i = 0; i < folder.links.size(); ++i)
    entries.push_back({order.OtherKey(folder.links[i].order), 1, i});
  for (std::uint32_t i = 0; i < folder.separators.size(); ++i)
    entries.push_back({order.OtherKey(folder.separators[i].order), 2, i});
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
  for (const Entry& entry : entries) {
    if (entry.kind == 0)
      AddFolder(sink, folder.folders[entry.index], false);
    else if (entry.kind == 1)
      AddLink(sink, folder.links[entry.index]);
    else
      AddSeparator(sink, folder.separators[entry.index]);
  }
}

template <typename Sink>
void AddFolder(Sink& sink, const BookmarkFolder& folder, bool topLevel) {
  if (!topLevel) AddHeading(sink, folder);
  const StoreOrder order(folder);
  if (LayoutIsStoreOrder(folder, order)) {
    for (const BookmarkFolder& sub : folder.folders) AddFolder(sink, sub, false);
    for (const BookmarkLink& link : folder.links) AddLink(sink, link);
  } else {
    AddItemsInStoreOrder(sink, folder, order);
  }
  sink.Add(kFolderClose);
}

std::size_t StoredSize(const StoredItem* stored) {
  if (!stored) return 0;
  return stored->attributes.size() + (HasDescription(stored) ? stored->details->description->size() + 8 : 0);
}

// Enough room for a tree of ASCII text, so that the buffer rarely grows.
std::size_t EstimatedSize(const BookmarkFolder& folder) {
  std::size_t size = kHeadingBefore.size() + folder.name.size() + kHeadingAfter.size() + kFolderClose.size() +
                     StoredSize(folder.stored.get()) + 6 * folder.separators.size();
  for (const BookmarkFolder& sub : folder.folders) size += EstimatedSize(sub);
  for (const BookmarkLink& link : folder.links)
    size += kLinkBefore.size() + kLinkMiddle.size() + kLinkAfter.size() + link.url.size() + link.title.size() +
            StoredSize(link.stored.get());
  return size;
}

}  // namespace

std::u16string FormatLink(const BookmarkLink& link) {
  Utf16Sink sink;
  AddLink(sink, link);
  return std::move(sink.text);
}

std::u16string FormatFolder(const BookmarkFolder& folder, bool topLevel) {
  Utf16Sink sink;
  AddFolder(sink, folder, topLevel);
  return std::move(sink.text);
}

std::string BookmarkFileBytes(const BookmarkFolder& root) {
  Utf8Sink sink;
  sink.bytes.reserve(kHeader.size() + EstimatedSize(root) + kTrailer.size());
  sink.bytes.append(kHeader);
  AddFolder(sink, root, true);
  sink.bytes.append(kTrailer);
  return std::move(sink.bytes);
}

bool WriteBookmarkFile(std::u16string_view path, const BookmarkFolder& root, std::u16string* reason) {
  files::ReplacingFile file;
  if (!file.Open(path, reason)) return false;
  Utf8Sink sink;
  sink.file = &file;
  sink.bytes.reserve(Utf8Sink::kChunk + 4096);
  sink.bytes.append(kHeader);
  AddFolder(sink, root, true);
  sink.bytes.append(kTrailer);
  file.Write(sink.bytes);
  return file.Commit(reason);
}
