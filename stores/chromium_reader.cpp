#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/text.h"
#include "stores/chromium_bookmarks.h"
#include "stores/chromium_document.h"

namespace {

std::shared_ptr<const StoredItem> Stored(const json::Value& node) {
  auto stored = std::make_shared<StoredItem>();
  stored->form = TextForm::Plain;
  auto id = node.find("id");
  if (id != node.end() && id->is_string()) stored->Details().storeId = id->get<std::string>();
  return stored;
}

std::u16string Member(const json::Value& node, const char* key) {
  auto found = node.find(key);
  return found != node.end() && found->is_string() ? text::Utf8ToUtf16(found->get_ref<const std::string&>())
                                                   : std::u16string();
}

bool IsKind(const json::Value& node, const char* kind) {
  auto type = node.find("type");
  return type != node.end() && type->is_string() && type->get_ref<const std::string&>() == kind;
}

// Every node the tree holds is found again by its id when the file is
// written back, so each must have one of its own; the browsers always write
// one.
struct Ids {
  std::unordered_set<std::string> seen;
  bool faulty = false;
  void Take(const StoredItem& stored) {
    if (stored.StoreId().empty() || !seen.insert(stored.StoreId()).second) faulty = true;
  }
};

// The document's depth was bounded when it was parsed.
void ReadFolder(const json::Value& node, BookmarkFolder& folder, Ids& ids) {
  auto children = node.find("children");
  if (children == node.end() || !children->is_array()) return;
  ItemOrder order = 0;
  for (const json::Value& child : *children) {
    ++order;
    if (!child.is_object()) continue;
    if (IsKind(child, "folder")) {
      BookmarkFolder sub;
      sub.name = Member(child, "name");
      sub.order = order;
      sub.stored = Stored(child);
      ids.Take(*sub.stored);
      ReadFolder(child, sub, ids);
      folder.folders.push_back(std::move(sub));
    } else if (IsKind(child, "url")) {
      BookmarkLink link;
      link.url = Member(child, "url");
      link.title = Member(child, "name");
      link.order = order;
      link.stored = Stored(child);
      ids.Take(*link.stored);
      folder.links.push_back(std::move(link));
    }
    // A node of another kind stays in the file as it is and is not shown.
  }
}

}  // namespace

bool LooksLikeJsonDocument(std::string_view bytes) {
  std::size_t start = 0;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
  const std::size_t first = bytes.find_first_not_of(" \t\r\n", start);
  return first != std::string_view::npos && bytes[first] == '{';
}

bool ReadChromiumBookmarks(std::string_view bytes, BookmarkFolder& root, std::u16string* problem) {
  std::u16string ignored;
  if (!problem) problem = &ignored;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  json::Value document;
  if (!ParseChromiumDocument(bytes, document, problem)) return false;
  std::vector<BookmarkFolder> tops;
  Ids ids;
  ItemOrder order = 0;
  for (const json::Value& top : document["roots"]) {
    ++order;
    if (!top.is_object() || !IsKind(top, "folder")) continue;
    BookmarkFolder folder;
    folder.name = Member(top, "name");
    folder.order = order;
    folder.stored = Stored(top);
    ids.Take(*folder.stored);
    ReadFolder(top, folder, ids);
    tops.push_back(std::move(folder));
  }
  if (tops.empty()) {
    *problem = u"It is a JSON document, but not a bookmark file of the Chromium browsers (it has no bookmark roots).";
    return false;
  }
  if (ids.faulty) {
    *problem = u"It is damaged: some of its bookmarks have no id, or share one.";
    return false;
  }
  for (BookmarkFolder& folder : tops) root.folders.push_back(std::move(folder));
  return true;
}
