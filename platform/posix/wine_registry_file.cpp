#include "platform/posix/wine_registry_file.h"

#include <vector>

#include "platform/files.h"

namespace wine {

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads an escaped string starting at `pos` up to the unescaped `end`
// character; `pos` is left after it. False when the line ends first.
bool ReadEscaped(std::u16string_view line, std::size_t& pos, char16_t end, std::u16string& out) {
  out.clear();
  while (pos < line.size()) {
    char16_t c = line[pos++];
    if (c == end) return true;
    if (c != u'\\' || pos >= line.size()) {
      out.push_back(c);
      continue;
    }
    c = line[pos++];
    switch (c) {
      case u'n': out.push_back(u'\n'); break;
      case u'r': out.push_back(u'\r'); break;
      case u't': out.push_back(u'\t'); break;
      case u'a': out.push_back(u'\a'); break;
      case u'b': out.push_back(u'\b'); break;
      case u'f': out.push_back(u'\f'); break;
      case u'v': out.push_back(u'\v'); break;
      case u'e': out.push_back(0x1B); break;
      case u'x': {
        // Up to four hex digits: Wine writes every unit above 127 this way.
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) value = value * 16 + HexDigit(line[pos++]), ++digits;
        out.push_back(digits ? static_cast<char16_t>(value) : u'x');
        break;
      }
      default:
        if (c >= u'0' && c <= u'7') {
          unsigned value = c - u'0';
          for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= u'0' && line[pos] <= u'7'; ++digits)
            value = value * 8 + (line[pos++] - u'0');
          out.push_back(static_cast<char16_t>(value));
        } else {
          out.push_back(c);  // \\, \" and \] stand for themselves
        }
    }
  }
  return false;
}

// hex(N): a comma-separated byte list of a UTF-16 little-endian string.
bool HexText(std::u16string_view list, std::u16string& data) {
  std::vector<unsigned char> bytes;
  int current = -1;
  for (char16_t c : list) {
    int d = HexDigit(c);
    if (d >= 0) {
      current = current < 0 ? d : current * 16 + d;
      if (current > 0xFF) return false;
    } else if (c == u',') {
      if (current < 0) return false;
      bytes.push_back(static_cast<unsigned char>(current));
      current = -1;
    } else if (c != u' ' && c != u'\t') {
      return false;
    }
  }
  if (current >= 0) bytes.push_back(static_cast<unsigned char>(current));
  data.clear();
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) data.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
  while (!data.empty() && data.back() == 0) data.pop_back();
  return true;
}

bool ValueText(std::u16string_view rest, std::u16string& data) {
  std::size_t pos = 0;
  if (rest.starts_with(u"\"")) {
    pos = 1;
    return ReadEscaped(rest, pos, u'"', data);
  }
  if (rest.starts_with(u"str(")) {
    pos = rest.find(u"):\"");
    if (pos == std::u16string_view::npos) return false;
    pos += 3;
    return ReadEscaped(rest, pos, u'"', data);
  }
  if (rest.starts_with(u"hex(1):") || rest.starts_with(u"hex(2):")) return HexText(rest.substr(7), data);
  return false;
}

// Lines of the hive with hex continuations ("\" at the end) joined.
std::vector<std::u16string> LogicalLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::u16string current;
  bool continued = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    if (continued) {
      while (!line.empty() && (line.front() == u' ' || line.front() == u'\t')) line.remove_prefix(1);
    }
    current += line;
    continued = !current.empty() && current.back() == u'\\' && current.find(u"=hex") != std::u16string::npos;
    if (continued) {
      current.pop_back();
    } else {
      lines.push_back(std::move(current));
      current.clear();
    }
    start = end + 1;
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

}  // namespace

bool FindRegistryValue(std::u16string_view hive, std::u16string_view key, std::u16string_view valueName,
                       std::u16string& data) {
  bool defaultValue = valueName.empty() || valueName == u"@";
  bool inKey = false;
  std::u16string name;
  for (const std::u16string& line : LogicalLines(hive)) {
    if (line.empty()) continue;
    if (line.front() == u'[') {
      std::size_t pos = 1;
      inKey = ReadEscaped(line, pos, u']', name) && files::NamesEqualNoCase(name, key);
      continue;
    }
    if (!inKey) continue;
    std::size_t pos;
    bool isDefault = line.front() == u'@';
    if (isDefault) {
      pos = 1;
    } else if (line.front() == u'"') {
      pos = 1;
      if (!ReadEscaped(line, pos, u'"', name)) continue;
    } else {
      continue;
    }
    if (pos >= line.size() || line[pos] != u'=') continue;
    bool match = isDefault ? defaultValue : !defaultValue && files::NamesEqualNoCase(name, valueName);
    if (!match) continue;
    std::u16string text;
    if (!ValueText(std::u16string_view(line).substr(pos + 1), text)) return false;
    data = std::move(text);
    return true;
  }
  return false;
}

}  // namespace wine
