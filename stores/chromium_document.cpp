#include "stores/chromium_document.h"

#include <cstdio>
#include <vector>

#include "platform/digest.h"
#include "platform/text.h"

namespace {

// Deeper than this only a damaged or hostile file goes; walking it must not
// run out of stack.
constexpr std::size_t kDeepestNesting = 2000;

constexpr const char* kChecksumRoots[] = {"bookmark_bar", "other", "synced"};

// Measured without recursion, since the document may be anything.
std::size_t NestingDepth(const json::Value& document) {
  std::vector<std::pair<const json::Value*, std::size_t>> pending{{&document, 1}};
  std::size_t deepest = 0;
  while (!pending.empty()) {
    auto [value, depth] = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, depth);
    if (depth > kDeepestNesting) break;
    if (value->is_structured()) {
      for (const json::Value& item : *value) pending.push_back({&item, depth + 1});
    }
  }
  return deepest;
}

void UpdateWithUtf16(digest::Md5& md5, std::string_view utf8) {
  const std::u16string units = text::Utf8ToUtf16(utf8);
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  md5.Update(bytes);
}

std::string StringMember(const json::Value& node, const char* key) {
  auto found = node.find(key);
  return found != node.end() && found->is_string() ? found->get<std::string>() : std::string();
}

void ChecksumNode(digest::Md5& md5, const json::Value& node) {
  std::vector<const json::Value*> pending{&node};
  while (!pending.empty()) {
    const json::Value* current = pending.back();
    pending.pop_back();
    if (!current->is_object()) continue;
    md5.Update(StringMember(*current, "id"));
    UpdateWithUtf16(md5, StringMember(*current, "name"));
    if (StringMember(*current, "type") == "url") {
      md5.Update("url");
      md5.Update(StringMember(*current, "url"));
      continue;
    }
    md5.Update("folder");
    auto children = current->find("children");
    if (children == current->end() || !children->is_array()) continue;
    for (auto it = children->rbegin(); it != children->rend(); ++it) pending.push_back(&*it);
  }
}

// The browser's string escapes: the usual ones, "<" so that the text can
// stand inside a page, the two Unicode line separators, and other control
// characters as \uXXXX in capitals.
void AppendString(std::string& out, const std::string& value) {
  out.push_back('"');
  for (std::size_t i = 0; i < value.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(value[i]);
    switch (c) {
      case '\b': out += "\\b"; continue;
      case '\f': out += "\\f"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      case '\\': out += "\\\\"; continue;
      case '"': out += "\\\""; continue;
      case '<': out += "\\u003C"; continue;
      default: break;
    }
    if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      out += escape;
    } else if (c == 0xE2 && i + 2 < value.size() && static_cast<unsigned char>(value[i + 1]) == 0x80 &&
               (static_cast<unsigned char>(value[i + 2]) == 0xA8 || static_cast<unsigned char>(value[i + 2]) == 0xA9)) {
      out += static_cast<unsigned char>(value[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
}

void AppendIndent(std::string& out, std::size_t depth) { out.append(depth * 3, ' '); }

// Depth is bounded by ParseChromiumDocument, so recursion is safe here.
void AppendValue(std::string& out, const json::Value& value, std::size_t depth) {
  if (value.is_object()) {
    out += "{\n";
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
      if (!first) out += ",\n";
      first = false;
      AppendIndent(out, depth + 1);
      AppendString(out, it.key());
      out += ": ";
      AppendValue(out, it.value(), depth + 1);
    }
    out += "\n";
    AppendIndent(out, depth);
    out += "}";
  } else if (value.is_array()) {
    out += "[ ";
    bool first = true;
    for (const json::Value& item : value) {
      if (!first) out += ", ";
      first = false;
      AppendValue(out, item, depth);
    }
    out += " ]";
  } else if (value.is_string()) {
    AppendString(out, value.get_ref<const std::string&>());
  } else {
    out += value.dump();
  }
}

}  // namespace

bool ParseChromiumDocument(std::string_view bytes, json::Value& document, std::u16string* problem) {
  document = json::Value::parse(bytes.begin(), bytes.end(), nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) {
    *problem = u"It is damaged or cut short: it is not a complete JSON document.";
    return false;
  }
  if (NestingDepth(document) > kDeepestNesting) {
    *problem = u"Its folders are nested more deeply than this program can follow.";
    return false;
  }
  auto roots = document.is_object() ? document.find("roots") : document.end();
  if (!document.is_object() || roots == document.end() || !roots->is_object()) {
    *problem = u"It is a JSON document, but not a bookmark file of the Chromium browsers (it has no bookmark roots).";
    return false;
  }
  auto version = document.find("version");
  if (version != document.end() && !(version->is_number_integer() && version->get<long long>() == 1)) {
    *problem = u"It was written by a newer version of the browser than this program knows (its format version is " +
               text::Utf8ToUtf16(version->dump()) + u").";
    return false;
  }
  return true;
}

std::string ChromiumChecksum(const json::Value& document) {
  digest::Md5 md5;
  const json::Value& roots = document.at("roots");
  for (const char* name : kChecksumRoots) {
    auto root = roots.find(name);
    if (root != roots.end()) ChecksumNode(md5, *root);
  }
  return md5.FinishHex();
}

std::string ChromiumDocumentText(const json::Value& document) {
  std::string out;
  AppendValue(out, document, 0);
  out += "\n";
  return out;
}
