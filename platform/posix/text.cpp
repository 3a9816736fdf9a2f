#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

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

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualsAsciiNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool EndsWithAsciiNoCase(std::u16string_view t, std::u16string_view suffix) {
  return t.size() >= suffix.size() && EqualsAsciiNoCase(t.substr(t.size() - suffix.size()), suffix);
}

std::string AsciiNarrow(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (char16_t c : units) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

std::u16string AsciiWiden(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
  return out;
}

static void AppendAscii(std::u16string& out, const char* s) {
  while (*s) out.push_back(static_cast<unsigned char>(*s++));
}

static void AppendAscii(std::u16string& out, const char* first, const char* last) {
  for (; first != last; ++first) out.push_back(static_cast<unsigned char>(*first));
}

// The precision of a conversion that is nothing but "%.N" (or "%"), as the
// checking dialog's statistics use it once per result; -1 for flags or a
// width, which go through snprintf.
static int PlainPrecision(const std::string& conversion, int otherwise) {
  if (conversion == "%") return otherwise;
  if (conversion.size() < 3 || conversion[1] != '.' || conversion.size() > 4) return -1;
  int precision = 0;
  for (std::size_t k = 2; k < conversion.size(); ++k) {
    if (conversion[k] < '0' || conversion[k] > '9') return -1;
    precision = precision * 10 + (conversion[k] - '0');
  }
  return precision;
}

std::u16string FormatList(std::u16string_view f, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(f.size() + 32);
  auto next = args.begin();
  for (std::size_t i = 0; i < f.size(); ++i) {
    char16_t c = f[i];
    if (c != u'%' || i + 1 >= f.size()) {
      out.push_back(c);
      continue;
    }
    ++i;
    if (f[i] == u'%') {
      out.push_back(u'%');
      continue;
    }
    // Flags, width and precision.
    std::string conversion = "%";
    while (i < f.size() && (f[i] == u'0' || f[i] == u'-' || f[i] == u'.' || (f[i] >= u'1' && f[i] <= u'9'))) {
      conversion.push_back(static_cast<char>(f[i]));
      ++i;
    }
    while (i < f.size() && (f[i] == u'l' || f[i] == u'h' || f[i] == u'I')) ++i;  // length modifiers
    if (i >= f.size()) break;
    char16_t conv = f[i];
    if (next == args.end()) {
      out.push_back(u'%');
      out.push_back(conv);
      continue;
    }
    const FormatArg& a = *next++;
    char buf[64];
    switch (conv) {
      case u's':
        if (a.kind == FormatArg::kText) out.append(a.text);
        else if (a.kind == FormatArg::kNarrow) out.append(Utf8ToUtf16(a.narrow));
        break;
      case u'u': case u'd': case u'i': case u'x': case u'X': {
        conversion += "ll";
        conversion.push_back(static_cast<char>(conv));
        unsigned long long v = a.kind == FormatArg::kSigned ? static_cast<unsigned long long>(a.i)
                             : a.kind == FormatArg::kDouble ? static_cast<unsigned long long>(static_cast<long long>(a.d))
                                                            : a.u;
        if (conv == u'u') v &= 0xFFFFFFFFull;  // %u prints a 32-bit unsigned value, as the platform does
        if (conversion.size() == 4 && conv != u'x' && conv != u'X') {
          // No flags or width: the digits alone, without a trip through printf.
          const std::to_chars_result r =
              conv == u'u' ? std::to_chars(buf, buf + sizeof buf, v)
                           : std::to_chars(buf, buf + sizeof buf, a.kind == FormatArg::kSigned ? a.i : static_cast<long long>(v));
          AppendAscii(out, buf, r.ptr);
          break;
        }
        if (conv == u'd' || conv == u'i') {
          long long sv = a.kind == FormatArg::kSigned ? a.i : static_cast<long long>(v);
          std::snprintf(buf, sizeof buf, conversion.c_str(), sv);
        } else {
          std::snprintf(buf, sizeof buf, conversion.c_str(), v);
        }
        AppendAscii(out, buf);
        break;
      }
      case u'f': {
        double v = a.kind == FormatArg::kDouble ? a.d : a.kind == FormatArg::kSigned ? static_cast<double>(a.i)
                                                                                     : static_cast<double>(a.u);
        // Fixed notation with a precision rounds exactly as printf does.
        const int precision = PlainPrecision(conversion, 6);
        if (precision >= 0 && std::isfinite(v) && std::fabs(v) < 1e15) {
          const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
          if (r.ec == std::errc{}) {
            AppendAscii(out, buf, r.ptr);
            break;
          }
        }
        conversion.push_back('f');
        std::snprintf(buf, sizeof buf, conversion.c_str(), v);
        AppendAscii(out, buf);
        break;
      }
      default:
        out.push_back(u'%');
        out.push_back(conv);
        break;
    }
  }
  return out;
}

}  // namespace text
