// Program text as terminal cells: UTF-16 turned into code points, anything
// that could drive the terminal (control characters, stray surrogates) made
// harmless, tabs expanded and long lines wrapped the way a dialog's static
// text wraps them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace terminal {

// Code points of `text`; a lone surrogate becomes U+FFFD. Line breaks and
// tabs are kept, every other control character becomes U+FFFD.
std::u32string ToCodePoints(std::u16string_view text);

// Columns a code point takes: 0 for combining marks, 2 for wide ones.
int GlyphWidth(char32_t ch);
int TextWidth(std::u32string_view text);

// Lines of `text`, broken at CR LF, LF or CR.
std::vector<std::u32string> SplitLines(std::u32string_view text);

// Tabs moved to the next multiple of `tabSize` columns.
std::u32string ExpandTabs(std::u32string_view line, int tabSize = 8);

// Breaks one line (no line breaks in it) at spaces so that no piece is wider
// than `width`; a word longer than that is cut where it must be.
std::vector<std::u32string> WrapLine(std::u32string_view line, int width);

// Everything above: the lines of a text as a static control shows them in
// `width` columns (0: no wrapping).
std::vector<std::u32string> LayoutText(std::u16string_view text, int width);

// The leading part of `text` that fits in `width` columns.
std::u32string ClipToWidth(std::u32string_view text, int width);

// Same, as a single line: line breaks and tabs become spaces.
std::u32string OneLine(std::u16string_view text);

std::string ToUtf8(std::u32string_view text);

}  // namespace terminal
