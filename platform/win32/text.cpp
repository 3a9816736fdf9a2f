// Conversions through the system's own code-page calls, without flags, so
// that malformed input is converted (to U+FFFD) and never rejected.
#include "platform/win32/windows_api.h"

#include "platform/text.h"

namespace text {
namespace {

void AppendMultiByte(std::u16string& out, unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return;
  // Converted in pieces that an int can count; a piece boundary never falls
  // inside a UTF-8 sequence, since it is moved back to the sequence's start.
  while (!bytes.empty()) {
    std::size_t take = bytes.size() < (1u << 30) ? bytes.size() : (1u << 30);
    if (take < bytes.size() && codePage == CP_UTF8)
      while (take > 0 && (static_cast<unsigned char>(bytes[take]) & 0xC0) == 0x80) --take;
    int count = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(take), nullptr, 0);
    std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(count));
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(take), reinterpret_cast<wchar_t*>(out.data() + at),
                          count);
    bytes.remove_prefix(take);
  }
}

void AppendWide(std::string& out, unsigned codePage, std::u16string_view units) {
  while (!units.empty()) {
    std::size_t take = units.size() < (1u << 28) ? units.size() : (1u << 28);
    if (take < units.size() && units[take] >= 0xDC00 && units[take] <= 0xDFFF) --take;  // keep pairs whole
    const wchar_t* data = reinterpret_cast<const wchar_t*>(units.data());
    int count = ::WideCharToMultiByte(codePage, 0, data, static_cast<int>(take), nullptr, 0, nullptr, nullptr);
    std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(count));
    ::WideCharToMultiByte(codePage, 0, data, static_cast<int>(take), out.data() + at, count, nullptr, nullptr);
    units.remove_prefix(take);
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string out;
  AppendMultiByte(out, CP_UTF8, bytes);
  return out;
}

std::string Utf16ToUtf8(std::u16string_view units) {
  std::string out;
  AppendWide(out, CP_UTF8, units);
  return out;
}

void AppendUtf8AsUtf16(std::u16string& out, std::string_view bytes) { AppendMultiByte(out, CP_UTF8, bytes); }
void AppendUtf16AsUtf8(std::string& out, std::u16string_view units) { AppendWide(out, CP_UTF8, units); }

std::u16string SystemToUtf16(std::string_view bytes) {
  std::u16string out;
  AppendMultiByte(out, CP_ACP, bytes);
  return out;
}

std::string Utf16ToSystem(std::u16string_view units) {
  std::string out;
  AppendWide(out, CP_ACP, units);
  return out;
}

}  // namespace text
