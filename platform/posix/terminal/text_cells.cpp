#include "platform/posix/terminal/text_cells.h"

#include <algorithm>
#include <cwchar>

namespace terminal {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsControl(char32_t ch) { return ch < 0x20 || (ch >= 0x7F && ch < 0xA0); }

}  // namespace

std::u32string ToCodePoints(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t ch = text[i];
    if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ch = 0x10000 + ((ch - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (ch >= 0xD800 && ch <= 0xDFFF) {
      ch = kReplacement;
    }
    // Bidirectional overrides and the like are as unwelcome as escape
    // sequences: they would reorder what the cells beside them show.
    if ((ch >= 0x202A && ch <= 0x202E) || (ch >= 0x2066 && ch <= 0x2069)) ch = kReplacement;
    if (IsControl(ch) && ch != u'\t' && ch != u'\r' && ch != u'\n') ch = kReplacement;
    out.push_back(ch);
  }
  return out;
}

// East Asian wide and combining ranges, for when the C library's locale
// cannot say (the terminal front end runs with a UTF-8 character type, and
// then the library's answer, which curses uses too, wins).
bool Wide(char32_t ch) {
  return (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0x303E) || (ch >= 0x3041 && ch <= 0x33FF) ||
         (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0xA000 && ch <= 0xA4CF) ||
         (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F) ||
         (ch >= 0xFF00 && ch <= 0xFF60) || (ch >= 0xFFE0 && ch <= 0xFFE6) || (ch >= 0x1F300 && ch <= 0x1F64F) ||
         (ch >= 0x1F900 && ch <= 0x1F9FF) || (ch >= 0x20000 && ch <= 0x3FFFD);
}

bool Combining(char32_t ch) {
  return (ch >= 0x0300 && ch <= 0x036F) || (ch >= 0x1AB0 && ch <= 0x1AFF) || (ch >= 0x1DC0 && ch <= 0x1DFF) ||
         (ch >= 0x20D0 && ch <= 0x20FF) || (ch >= 0xFE20 && ch <= 0xFE2F) || (ch >= 0x200B && ch <= 0x200F);
}

int GlyphWidth(char32_t ch) {
  if (ch < 0x20) return 0;
  if (ch < 0x7F) return 1;
  int width = ::wcwidth(static_cast<wchar_t>(ch));
  if (width < 0 || (width == 1 && ch >= 0x80 && (Wide(ch) || Combining(ch))))
    width = Wide(ch) ? 2 : Combining(ch) ? 0 : 1;
  return width > 2 ? 2 : width;
}

int TextWidth(std::u32string_view text) {
  int width = 0;
  for (char32_t ch : text) width += GlyphWidth(ch);
  return width;
}

std::vector<std::u32string> SplitLines(std::u32string_view text) {
  std::vector<std::u32string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t ch = text[i];
    if (ch == U'\r' || ch == U'\n') {
      if (ch == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(ch);
    }
  }
  return lines;
}

std::u32string ExpandTabs(std::u32string_view line, int tabSize) {
  std::u32string out;
  int column = 0;
  for (char32_t ch : line) {
    if (ch == U'\t') {
      int next = (column / tabSize + 1) * tabSize;
      out.append(static_cast<std::size_t>(next - column), U' ');
      column = next;
    } else {
      out.push_back(ch);
      column += GlyphWidth(ch);
    }
  }
  return out;
}

std::vector<std::u32string> WrapLine(std::u32string_view line, int width) {
  std::vector<std::u32string> out;
  if (width <= 0 || TextWidth(line) <= width) {
    out.emplace_back(line);
    return out;
  }
  std::u32string current;
  int currentWidth = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    // One word with the spaces that precede it.
    std::size_t start = i;
    while (i < line.size() && line[i] == U' ') ++i;
    std::size_t wordStart = i;
    while (i < line.size() && line[i] != U' ') ++i;
    std::u32string_view spaces = line.substr(start, wordStart - start);
    std::u32string_view word = line.substr(wordStart, i - wordStart);
    int spacesWidth = TextWidth(spaces), wordWidth = TextWidth(word);
    if (currentWidth + spacesWidth + wordWidth <= width) {
      current.append(spaces).append(word);
      currentWidth += spacesWidth + wordWidth;
      continue;
    }
    if (!current.empty()) {
      out.push_back(current);
      current.clear();
      currentWidth = 0;
    } else if (!spaces.empty() && wordStart == start + spaces.size() && out.empty()) {
      // Leading spaces of the very first line are kept as written.
      current.append(spaces.substr(0, static_cast<std::size_t>(std::min<int>(spacesWidth, width - 1))));
      currentWidth = TextWidth(current);
    }
    // A word wider than a whole line is cut.
    for (char32_t ch : word) {
      int w = GlyphWidth(ch);
      if (currentWidth + w > width && !current.empty()) {
        out.push_back(current);
        current.clear();
        currentWidth = 0;
      }
      current.push_back(ch);
      currentWidth += w;
    }
  }
  if (!current.empty() || out.empty()) out.push_back(current);
  return out;
}

std::vector<std::u32string> LayoutText(std::u16string_view text, int width) {
  std::vector<std::u32string> out;
  for (const std::u32string& line : SplitLines(ToCodePoints(text)))
    for (std::u32string& piece : WrapLine(ExpandTabs(line), width)) out.push_back(std::move(piece));
  return out;
}

std::u32string ClipToWidth(std::u32string_view text, int width) {
  std::u32string out;
  int used = 0;
  for (char32_t ch : text) {
    int w = GlyphWidth(ch);
    if (used + w > width) break;
    out.push_back(ch);
    used += w;
  }
  return out;
}

std::u32string OneLine(std::u16string_view text) {
  std::u32string out = ToCodePoints(text);
  for (char32_t& ch : out)
    if (ch == U'\t' || ch == U'\r' || ch == U'\n') ch = U' ';
  return out;
}

std::string ToUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t ch : text) {
    if (ch < 0x80) {
      out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
      out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
      out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
      out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
  }
  return out;
}

}  // namespace terminal
