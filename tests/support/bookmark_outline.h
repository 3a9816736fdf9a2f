// What a bookmark file holds, as a browser importing it would see it: one
// line per item, indented by folder, with each tag's attributes sorted and
// those with empty values left out. Two files with the same outline hold the
// same items in the same order with the same attributes, descriptions and
// separators, whatever their header, indentation and attribute order. Read
// independently of the program's own reader, so that tests compare against
// the file, not the code.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace outline {

inline std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The attributes of a tag's text after its name, sorted, empty values left out.
inline std::string Attributes(std::string_view tag) {
  std::vector<std::string> found;
  std::size_t i = 0;
  while (i < tag.size()) {
    while (i < tag.size() && IsBlank(tag[i])) ++i;
    std::size_t start = i;
    while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '=') ++i;
    std::string name = Upper(tag.substr(start, i - start));
    std::string value;
    if (i < tag.size() && tag[i] == '=') {
      ++i;
      if (i < tag.size() && tag[i] == '"') {
        std::size_t close = tag.find('"', i + 1);
        value = std::string(tag.substr(i + 1, close - i - 1));
        i = close == std::string_view::npos ? tag.size() : close + 1;
      } else {
        std::size_t v = i;
        while (i < tag.size() && !IsBlank(tag[i])) ++i;
        value = std::string(tag.substr(v, i - v));
      }
      if (value.empty()) continue;
      found.push_back(name + "=" + value);
    } else if (!name.empty()) {
      found.push_back(name);
    }
  }
  std::sort(found.begin(), found.end());
  std::string out;
  for (const std::string& a : found) out += " " + a;
  return out;
}

inline std::string Of(std::string_view file) {
  std::string out;
  int depth = -1;  // the first list opens the top level
  auto line = [&](const std::string& text) { out += std::string(static_cast<std::size_t>(std::max(depth, 0)) * 2, ' ') + text + "\n"; };
  for (std::size_t at = file.find('<'); at != std::string_view::npos; at = file.find('<', at + 1)) {
    std::size_t end = file.find('>', at);
    if (end == std::string_view::npos) break;
    std::string_view tag = file.substr(at + 1, end - at - 1);
    std::string name = Upper(tag.substr(0, tag.find_first_of(" \t\r\n")));
    std::size_t textEnd = file.find('<', end + 1);
    std::string_view text = file.substr(end + 1, textEnd == std::string_view::npos ? std::string_view::npos : textEnd - end - 1);
    if (name == "DL") {
      ++depth;
    } else if (name == "/DL") {
      --depth;
    } else if (name == "A") {
      line("link \"" + std::string(text) + "\"" + Attributes(tag.substr(1)));
    } else if (name == "H3") {
      line("folder \"" + std::string(text) + "\"" + Attributes(tag.substr(2)));
    } else if (name == "DD") {
      while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
      line("  about \"" + std::string(text) + "\"");
    } else if (name == "HR") {
      line("separator");
    }
  }
  return out;
}

}  // namespace outline
