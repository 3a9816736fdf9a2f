// Text in memory is UTF-16 (std::u16string). Conversions never reject input:
// a malformed byte sequence becomes U+FFFD, so no item is ever dropped.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace text {

// UTF-8 bytes to UTF-16. Each maximal invalid subsequence becomes one U+FFFD
// (the same answer the Windows conversion gives for code page 65001).
std::u16string Utf8ToUtf16(std::string_view bytes);

// Whether the bytes are well-formed UTF-8: exactly the text that converting
// to UTF-16 and back gives unchanged.
bool IsWellFormedUtf8(std::string_view bytes);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// The same conversions, appending to what `out` already holds. Converting a
// text in pieces gives the same result as converting it whole, as long as no
// piece boundary falls inside a character (a well-formed UTF-8 sequence or a
// surrogate pair).
void AppendUtf8AsUtf16(std::u16string& out, std::string_view bytes);
void AppendUtf16AsUtf8(std::string& out, std::u16string_view units);

// The system code page: UTF-8 on Linux.
std::u16string SystemToUtf16(std::string_view bytes);
std::string Utf16ToSystem(std::u16string_view units);

// ASCII-only case folding, the way names are compared where only A to Z count.
char16_t AsciiLower(char16_t c);
bool EqualsAsciiNoCase(std::u16string_view a, std::u16string_view b);
bool EndsWithAsciiNoCase(std::u16string_view text, std::u16string_view suffix);

// One argument of Format.
struct FormatArg {
  enum Kind { kText, kUnsigned, kSigned, kDouble, kNarrow } kind;
  std::u16string_view text;
  std::string_view narrow;
  std::uint64_t u = 0;
  std::int64_t i = 0;
  double d = 0;
  FormatArg(std::u16string_view s) : kind(kText), text(s) {}
  FormatArg(const char16_t* s) : kind(kText), text(s ? s : u"") {}
  FormatArg(const std::u16string& s) : kind(kText), text(s) {}
  FormatArg(std::string_view s) : kind(kNarrow), narrow(s) {}
  FormatArg(unsigned v) : kind(kUnsigned), u(v) {}
  FormatArg(unsigned long v) : kind(kUnsigned), u(v) {}
  FormatArg(unsigned long long v) : kind(kUnsigned), u(v) {}
  FormatArg(int v) : kind(kSigned), i(v) {}
  FormatArg(long v) : kind(kSigned), i(v) {}
  FormatArg(long long v) : kind(kSigned), i(v) {}
  FormatArg(double v) : kind(kDouble), d(v) {}
  FormatArg(float v) : kind(kDouble), d(v) {}
};

// printf-style formatting into a growing string, for the message formats the
// program shows. Understands %s (UTF-16 or UTF-8 text), %u, %d, %i, %x, %X
// with optional zero padding and width (%02X), %.Nf, and %%. Nothing is cut.
std::u16string FormatList(std::u16string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::u16string Format(std::u16string_view format, const Args&... args) {
  return FormatList(format, {FormatArg(args)...});
}

// Narrow (8-bit) text from ASCII UTF-16, for digests and similar.
std::string AsciiNarrow(std::u16string_view units);
std::u16string AsciiWiden(std::string_view bytes);

}  // namespace text
