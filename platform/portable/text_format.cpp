// The text helpers that are the same on every platform: ASCII-only case
// folding and the printf-style formatting of the program's messages.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/text.h"

namespace text {

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
