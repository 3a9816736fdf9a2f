#include "model/item_text.h"

#include <cstdint>

namespace {

struct NamedReference {
  std::u16string_view name;
  char16_t character;
};

// What browsers write into bookmark files, and the few others common in titles.
constexpr NamedReference kNamed[] = {
    {u"amp", u'&'},     {u"lt", u'<'},      {u"gt", u'>'},      {u"quot", u'"'},   {u"apos", u'\''},
    {u"nbsp", 0x00A0}, {u"copy", 0x00A9}, {u"reg", 0x00AE},  {u"trade", 0x2122}, {u"hellip", 0x2026},
    {u"ndash", 0x2013}, {u"mdash", 0x2014}, {u"laquo", 0x00AB}, {u"raquo", 0x00BB},
};

// Longest reference body worth looking at ("#x10FFFF", "hellip").
constexpr std::size_t kLongestReference = 10;

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return c - u'A' + 10;
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
  // NUL, surrogates and values beyond Unicode stand for nothing: the
  // replacement character, as a browser shows them.
  if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes the reference whose body (between "&" and ";") is `body`. False
// when it is not one.
bool DecodeReference(std::u16string_view body, std::u16string& out) {
  if (body.size() >= 2 && body[0] == u'#') {
    bool hex = body[1] == u'x' || body[1] == u'X';
    std::u16string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    std::uint32_t value = 0;
    for (char16_t c : digits) {
      if (hex ? !IsHexDigit(c) : !(c >= u'0' && c <= u'9')) return false;
      value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(DigitValue(c));
      if (value > 0x10FFFF) value = 0x110000;  // keeps counting from overflowing
    }
    AppendCodePoint(out, value);
    return true;
  }
  for (const NamedReference& named : kNamed) {
    if (body == named.name) {
      out.push_back(named.character);
      return true;
    }
  }
  return false;
}

}  // namespace

TextForm FormOf(const BookmarkLink& link) { return link.stored ? link.stored->form : TextForm::Markup; }
TextForm FormOf(const BookmarkFolder& folder) { return folder.stored ? folder.stored->form : TextForm::Markup; }

std::u16string DecodeCharacterReferences(std::u16string_view markup) {
  std::size_t amp = markup.find(u'&');
  if (amp == std::u16string_view::npos) return std::u16string(markup);
  std::u16string out(markup.substr(0, amp));
  out.reserve(markup.size());
  for (std::size_t i = amp; i < markup.size();) {
    if (markup[i] == u'&') {
      std::size_t semicolon = markup.find(u';', i + 1);
      if (semicolon != std::u16string_view::npos && semicolon - i - 1 <= kLongestReference &&
          DecodeReference(markup.substr(i + 1, semicolon - i - 1), out)) {
        i = semicolon + 1;
        continue;
      }
    }
    out.push_back(markup[i++]);
  }
  return out;
}

std::u16string EscapeMarkup(std::u16string_view plain, bool inAttribute) {
  std::u16string out;
  out.reserve(plain.size());
  for (char16_t c : plain) {
    switch (c) {
      case u'&': out.append(u"&amp;"); break;
      case u'<': out.append(u"&lt;"); break;
      case u'>': out.append(u"&gt;"); break;
      case u'"':
        if (inAttribute) {
          out.append(u"&quot;");
          break;
        }
        [[fallthrough]];
      default: out.push_back(c);
    }
  }
  return out;
}

std::u16string LinkAddress(const BookmarkLink& link) {
  return FormOf(link) == TextForm::Markup ? DecodeCharacterReferences(link.url) : link.url;
}

std::u16string PlainTitle(const BookmarkLink& link) {
  return FormOf(link) == TextForm::Markup ? DecodeCharacterReferences(link.title) : link.title;
}

std::u16string PlainName(const BookmarkFolder& folder) {
  return FormOf(folder) == TextForm::Markup ? DecodeCharacterReferences(folder.name) : folder.name;
}
