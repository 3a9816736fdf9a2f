#include "stores/bookmark_tag.h"

#include "platform/text.h"

#include <cstdint>
#include <cstring>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // browsers write attribute names in upper case
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}


std::shared_ptr<StoredItem>& Make(std::shared_ptr<StoredItem>& stored) {
  if (!stored) stored = std::make_shared<StoredItem>();
  return stored;
}

// Text that ends inside the tag: anything holding a tag mark came from
// somewhere else in the file (an anchor whose HREF is in a later tag).
bool InsideOneTag(std::string_view text) {
  return !std::memchr(text.data(), '<', text.size()) && !std::memchr(text.data(), '>', text.size());
}

// A tag's attributes as they are written back: the dates in the places the
// format gives them, then the others as written, in their order.
struct TagAttributes {
  std::string_view addDate, lastVisit, lastModified;
  bool addSeen = false, visitSeen = false, modifiedSeen = false;
  std::vector<std::string_view> others;
  std::size_t othersSize = 0;

  static bool Slot(std::string_view name, std::string_view whole, std::string_view slotName,
                   std::string_view& value, bool& seen) {
    if (seen || name.size() != slotName.size() || whole.size() == name.size() || !EqualsNoCase(name, slotName))
      return false;
    std::string_view v = AttributeValue(whole);
    // A value that could not stand between double quotes stays as written.
    if (v.find('"') != std::string_view::npos) return false;
    value = v;
    seen = true;
    return true;
  }

  void Take(std::string_view name, std::string_view whole, bool heading) {
    if (Slot(name, whole, "ADD_DATE", addDate, addSeen)) return;
    if (!heading && Slot(name, whole, "LAST_VISIT", lastVisit, visitSeen)) return;
    if (!heading && Slot(name, whole, "LAST_MODIFIED", lastModified, modifiedSeen)) return;
    others.push_back(whole);
    othersSize += whole.size() + 1;
  }

  // Nothing to keep where the dates are empty and there is nothing else, as
  // in a file the program wrote itself.
  bool Empty() const { return addDate.empty() && lastVisit.empty() && lastModified.empty() && others.empty(); }

  std::string Written(bool heading) const {
    static constexpr std::string_view kAdd = " ADD_DATE=\"", kVisit = "\" LAST_VISIT=\"",
                                      kModified = "\" LAST_MODIFIED=\"";
    // An attribute whose quoted value never closes ran to the end of the text
    // it was read from; written before another attribute, its quote would
    // take that one in on the next read, so it is closed there.
    auto unclosed = [this](std::size_t i) -> char {
      if (i + 1 >= others.size()) return 0;
      std::string_view whole = others[i];
      std::size_t eq = whole.find('=');
      if (eq == std::string_view::npos || eq + 1 >= whole.size()) return 0;
      std::string_view value = whole.substr(eq + 1);
      char q = value[0];
      if (q != '"' && q != '\'') return 0;
      return value.size() == 1 || value.back() != q ? q : 0;
    };
    std::size_t size = kAdd.size() + addDate.size() + 1 + othersSize;
    for (std::size_t i = 0; i < others.size(); ++i) size += unclosed(i) ? 1 : 0;
    if (!heading) size += kVisit.size() + lastVisit.size() + kModified.size() + lastModified.size();
    std::string out(size, '\0');
    char* at = out.data();
    auto put = [&at](std::string_view piece) {
      if (piece.empty()) return;  // an empty view may carry no pointer at all
      std::memcpy(at, piece.data(), piece.size());
      at += piece.size();
    };
    put(kAdd);
    put(addDate);
    if (!heading) {
      put(kVisit);
      put(lastVisit);
      put(kModified);
      put(lastModified);
    }
    put("\"");
    for (std::size_t i = 0; i < others.size(); ++i) {
      put(" ");
      put(others[i]);
      if (char q = unclosed(i)) put(std::string_view(&q, 1));
    }
    return out;
  }
};

}  // namespace

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlankByte(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view AttributeValue(std::string_view whole) {
  std::size_t eq = whole.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view value = whole.substr(eq + 1);
  if (!value.empty() && (value[0] == '"' || value[0] == '\'')) {
    char q = value[0];
    value.remove_prefix(1);
    if (!value.empty() && value.back() == q) value.remove_suffix(1);
  }
  return value;
}

bool IsDescriptionTag(std::string_view at) { return StartsWithNoCase(at, "<DD>"); }

bool IsSeparatorTag(std::string_view at) {
  if (!StartsWithNoCase(at, "<HR")) return false;
  return at.size() == 3 || at[3] == '>' || at[3] == '/' || IsBlankByte(at[3]);
}

std::shared_ptr<StoredItem> ReadLinkTag(std::string_view before, std::string_view after, std::string_view url,
                                        std::string_view title) {
  std::shared_ptr<StoredItem> stored;
  TagAttributes attributes;
  auto take = [&](std::string_view name, std::string_view whole) { attributes.Take(name, whole, false); };
  if (InsideOneTag(before)) ForEachAttribute(before, take);
  if (InsideOneTag(after)) ForEachAttribute(after, take);
  if (!attributes.Empty()) Make(stored)->attributes = attributes.Written(false);
  if (!text::IsWellFormedUtf8(url)) Make(stored)->Details().rawUrl.emplace(url);
  if (!text::IsWellFormedUtf8(title)) Make(stored)->Details().rawTitle.emplace(title);
  return stored;
}

std::shared_ptr<StoredItem> ReadHeadingTag(std::string_view tag, std::string_view name) {
  std::shared_ptr<StoredItem> stored;
  // Only a real H3 tag has attributes of a heading; anything else the scan
  // took for a heading is written back as a plain one.
  if (StartsWithNoCase(tag, "<H3") && (tag.size() == 3 || IsBlankByte(tag[3])) && InsideOneTag(tag.substr(1))) {
    bool folded = false;
    TagAttributes attributes;
    ForEachAttribute(tag.substr(3), [&](std::string_view attributeName, std::string_view whole) {
      if (!folded && whole.size() == attributeName.size() && EqualsNoCase(attributeName, "FOLDED")) {
        folded = true;
        return;
      }
      attributes.Take(attributeName, whole, true);
    });
    if (!attributes.Empty()) Make(stored)->attributes = attributes.Written(true);
    if (!folded) Make(stored)->folded = false;
  }
  if (!text::IsWellFormedUtf8(name)) Make(stored)->Details().rawTitle.emplace(name);
  return stored;
}
