// Writing a bookmark file in the layout every browser imports: a fixed header,
// one heading per folder and one line per link, CR LF line ends, no escaping.
#include "platform/replacing_file.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"

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
// converting the whole body at once.
struct Utf16Sink {
  std::u16string text;
  void Add(std::u16string_view piece) { text.append(piece); }
};
struct Utf8Sink {
  static constexpr std::size_t kChunk = 1 << 20;
  std::string bytes;
  files::ReplacingFile* file = nullptr;  // none: keep all the bytes
  void Add(std::u16string_view piece) {
    text::AppendUtf16AsUtf8(bytes, piece);
    if (file && bytes.size() >= kChunk) {
      file->Write(bytes);
      bytes.clear();
    }
  }
};

template <typename Sink>
void AddLink(Sink& sink, const BookmarkLink& link) {
  sink.Add(kLinkBefore);
  sink.Add(link.url);
  sink.Add(kLinkMiddle);
  sink.Add(link.title);
  sink.Add(kLinkAfter);
}

template <typename Sink>
void AddFolder(Sink& sink, const BookmarkFolder& folder, bool topLevel) {
  if (!topLevel) {
    sink.Add(kHeadingBefore);
    sink.Add(folder.name);
    sink.Add(kHeadingAfter);
  }
  for (const BookmarkFolder& sub : folder.folders) AddFolder(sink, sub, false);
  for (const BookmarkLink& link : folder.links) AddLink(sink, link);
  sink.Add(kFolderClose);
}

// Enough room for a tree of ASCII text, so that the buffer rarely grows.
std::size_t EstimatedSize(const BookmarkFolder& folder) {
  std::size_t size = kHeadingBefore.size() + folder.name.size() + kHeadingAfter.size() + kFolderClose.size();
  for (const BookmarkFolder& sub : folder.folders) size += EstimatedSize(sub);
  for (const BookmarkLink& link : folder.links)
    size += kLinkBefore.size() + kLinkMiddle.size() + kLinkAfter.size() + link.url.size() + link.title.size();
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
