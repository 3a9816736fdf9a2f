// The parts of a bookmark file's tags that the scan passes over: attributes
// other than HREF, descriptions and separators, read so that they can be
// written back as they were.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "model/bookmark_tree.h"

// What a link's tag holds beyond its URL: `before` is the text between "<A"
// and "HREF=", `after` the text between the URL's closing quote and the ">"
// that ends the tag. Null when there is nothing to keep, as in a file the
// program wrote itself.
std::shared_ptr<StoredItem> ReadLinkTag(std::string_view before, std::string_view after, std::string_view url,
                                        std::string_view title);

// The same for a heading, whose `tag` is the text from its "<H3" up to the
// ">" that ends it.
std::shared_ptr<StoredItem> ReadHeadingTag(std::string_view tag, std::string_view name);

// Whether the text at `at` starts a description ("<DD>") or a separator
// ("<HR>", "<HR ...>"), in any letter case.
bool IsDescriptionTag(std::string_view at);
bool IsSeparatorTag(std::string_view at);

std::string_view TrimTrailingBlanks(std::string_view text);

// Calls `take(name, whole)` for each attribute of a tag's attribute text:
// `whole` is the attribute as written ("NAME", NAME=VALUE, NAME="VALUE").
template <typename Take>
void ForEachAttribute(std::string_view text, Take take);

// The value of an attribute as written, without its quotes.
std::string_view AttributeValue(std::string_view whole);

bool IsBlankByte(char c);

template <typename Take>
void ForEachAttribute(std::string_view text, Take take) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlankByte(text[i])) ++i;
    if (i >= text.size()) break;
    std::size_t start = i;
    while (i < text.size() && !IsBlankByte(text[i]) && text[i] != '=') ++i;
    std::string_view name = text.substr(start, i - start);
    if (i < text.size() && text[i] == '=') {
      ++i;
      if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        std::size_t close = text.find(text[i], i + 1);
        i = close == std::string_view::npos ? text.size() : close + 1;
      } else {
        while (i < text.size() && !IsBlankByte(text[i])) ++i;
      }
    }
    if (name.empty() && i == start) ++i;  // a lone "=": never stand still
    take(name, text.substr(start, i - start));
  }
}
