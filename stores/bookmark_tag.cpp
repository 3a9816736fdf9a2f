#include "stores/bookmark_tag.h"

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
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

// Whether the bytes are well-formed UTF-8: exactly the text that converting
// to UTF-16 and back gives unchanged.
bool IsWellFormedUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size(), i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int need;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      need = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      need = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      need = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(need)) return false;
    for (int k = 1; k <= need; ++k) {
      unsigned char b = p[i + k];
      if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) return false;
    }
    i += static_cast<std::size_t>(need) + 1;
  }
  return true;
}

std::shared_ptr<StoredItem>& Make(std::shared_ptr<StoredItem>& stored) {
  if (!stored) stored = std::make_shared<StoredItem>();
  return stored;
}

// Text that ends inside the tag: anything holding a tag mark came from
// somewhere else in the file (an anchor whose HREF is in a later tag).
bool InsideOneTag(std::string_view text) { return text.find_first_of("<>") == std::string_view::npos; }

void KeepAttribute(std::shared_ptr<StoredItem>& stored, std::string_view whole) {
  std::string& attributes = Make(stored)->attributes;
  attributes.push_back(' ');
  attributes.append(whole);
}

// A date with an empty value is what the program itself writes where there
// is no date: nothing to keep.
bool IsEmptyDate(std::string_view name, std::string_view whole) {
  if (whole.size() == name.size() || !AttributeValue(whole).empty()) return false;
  return EqualsNoCase(name, "ADD_DATE") || EqualsNoCase(name, "LAST_VISIT") || EqualsNoCase(name, "LAST_MODIFIED");
}

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
  auto take = [&](std::string_view name, std::string_view whole) {
    if (!IsEmptyDate(name, whole)) KeepAttribute(stored, whole);
  };
  if (InsideOneTag(before)) ForEachAttribute(before, take);
  if (InsideOneTag(after)) ForEachAttribute(after, take);
  if (!IsWellFormedUtf8(url)) Make(stored)->Details().rawUrl.emplace(url);
  if (!IsWellFormedUtf8(title)) Make(stored)->Details().rawTitle.emplace(title);
  return stored;
}

std::shared_ptr<StoredItem> ReadHeadingTag(std::string_view tag, std::string_view name) {
  std::shared_ptr<StoredItem> stored;
  // Only a real H3 tag has attributes of a heading; anything else the scan
  // took for a heading is written back as a plain one.
  if (StartsWithNoCase(tag, "<H3") && (tag.size() == 3 || IsBlankByte(tag[3])) && InsideOneTag(tag.substr(1))) {
    bool folded = false;
    ForEachAttribute(tag.substr(3), [&](std::string_view attributeName, std::string_view whole) {
      if (!folded && whole.size() == attributeName.size() && EqualsNoCase(attributeName, "FOLDED")) {
        folded = true;
        return;
      }
      if (!IsEmptyDate(attributeName, whole)) KeepAttribute(stored, whole);
    });
    if (!folded) Make(stored)->folded = false;
  }
  if (!IsWellFormedUtf8(name)) Make(stored)->Details().rawTitle.emplace(name);
  return stored;
}

DateSlots SplitDates(std::string_view attributes, bool heading) {
  DateSlots slots;
  bool addSeen = false, visitSeen = false, modifiedSeen = false;
  auto slot = [](std::string_view name, std::string_view whole, std::string_view slotName, std::string_view& value,
                 bool& seen) {
    if (seen || !EqualsNoCase(name, slotName) || whole.size() == name.size()) return false;
    std::string_view v = AttributeValue(whole);
    // A value that could not stand between double quotes stays as written.
    if (v.find('"') != std::string_view::npos) return false;
    value = v;
    seen = true;
    return true;
  };
  ForEachAttribute(attributes, [&](std::string_view name, std::string_view whole) {
    bool taken = slot(name, whole, "ADD_DATE", slots.addDate, addSeen) ||
                 (!heading && slot(name, whole, "LAST_VISIT", slots.lastVisit, visitSeen)) ||
                 (!heading && slot(name, whole, "LAST_MODIFIED", slots.lastModified, modifiedSeen));
    if (!taken) slots.others.push_back(whole);
  });
  return slots;
}
