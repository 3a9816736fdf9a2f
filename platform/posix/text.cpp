#include "platform/text.h"


namespace text {

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  AppendUtf8AsUtf16(out, s);
  return out;
}

void AppendUtf8AsUtf16(std::u16string& out, std::string_view s) {
  if (out.empty()) out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      // Runs of ASCII are the common case in bookmark files: copy them in one go.
      std::size_t run = i + 1;
      while (run < n && p[run] < 0x80) ++run;
      std::size_t at = out.size();
      out.resize(at + (run - i));
      for (char16_t* d = out.data() + at; i < run; ++i) *d++ = p[i];
      continue;
    }
    int need;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      need = 1; cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      need = 2; cp = c & 0x0F;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      need = 3; cp = c & 0x07;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    int got = 0;
    while (got < need && j < n) {
      unsigned char b = p[j];
      unsigned char l = got == 0 ? lo : 0x80, h = got == 0 ? hi : 0xBF;
      if (b < l || b > h) break;
      cp = (cp << 6) | (b & 0x3F);
      ++j;
      ++got;
    }
    if (got < need) {
      out.push_back(0xFFFD);  // one replacement for the maximal invalid prefix
      i = j;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i = j;
  }
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  AppendUtf16AsUtf8(out, s);
  return out;
}

void AppendUtf16AsUtf8(std::string& out, std::u16string_view s) {
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    char32_t cp = s[i];
    if (cp < 0x80) {
      std::size_t run = i + 1;
      while (run < n && s[run] < 0x80) ++run;
      std::size_t at = out.size();
      out.resize(at + (run - i));
      for (char* d = out.data() + at; i < run; ++i) *d++ = static_cast<char>(s[i]);
      --i;  // the loop steps past the run's last unit
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
}

std::u16string SystemToUtf16(std::string_view bytes) { return Utf8ToUtf16(bytes); }
std::string Utf16ToSystem(std::u16string_view units) { return Utf16ToUtf8(units); }

}  // namespace text
