#include "platform/profile.h"

#include <sys/stat.h>

#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace profile {

namespace {

constexpr off_t kLargestProfileFile = 16 << 20;

// Windows-1252 for the bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
// The five unassigned bytes map to the control characters of the same value,
// as the platform's conversion does.
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u16string AnsiToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    out.push_back(b >= 0x80 && b < 0xA0 ? kAnsiHigh[b - 0x80] : static_cast<char16_t>(b));
  }
  return out;
}

std::u16string Utf16ToUnits(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
  }
  return out;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The name of a section header line ("[name]", blanks allowed around it), or
// false when the line is not one. An unclosed header runs to the line's end.
bool SectionName(std::u16string_view line, std::u16string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != u'[') return false;
  line.remove_prefix(1);
  std::size_t close = line.find(u']');
  name = Trim(line.substr(0, close == std::u16string_view::npos ? line.size() : close));
  return true;
}

bool KeyLine(std::u16string_view line, std::u16string_view& key, std::u16string_view& value) {
  std::size_t eq = line.find(u'=');
  if (eq == std::u16string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

std::u16string Unquote(std::u16string_view v) {
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  return std::u16string(v);
}

bool IsAscii(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= 0x80) return false;
  return true;
}

std::string EncodeUtf16Le(std::u16string_view s) {
  std::string out("\xFF\xFE", 2);
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

}  // namespace

std::u16string DecodeProfileText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return Utf16ToUnits(bytes.substr(2), false);
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return Utf16ToUnits(bytes.substr(2), true);
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return text::Utf8ToUtf16(bytes.substr(3));
  if (text::IsWellFormedUtf8(bytes)) return text::Utf8ToUtf16(bytes);
  return AnsiToUtf16(bytes);
}

bool FindProfileValue(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                      std::u16string& value) {
  bool inSection = false;
  bool seenSection = false;
  for (std::u16string_view line : SplitLines(text)) {
    std::u16string_view name;
    if (SectionName(line, name)) {
      // Only the first section of that name counts.
      if (seenSection) return false;
      inSection = files::NamesEqualNoCase(name, section);
      seenSection = inSection;
      continue;
    }
    std::u16string_view k, v;
    if (inSection && KeyLine(line, k, v) && files::NamesEqualNoCase(k, Trim(key))) {
      value = Unquote(v);
      return true;
    }
  }
  return false;
}

std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::u16string_view path) {
  std::string bytes;
  std::u16string value;
  // Readers walk folders that may also hold videos or disk images; a file far
  // larger than any settings file is not read into memory at all.
  struct stat st;
  bool tooLarge = ::stat(files::NativePath(path).c_str(), &st) == 0 && st.st_size > kLargestProfileFile;
  if (!tooLarge && files::ReadWholeFile(path, bytes) && FindProfileValue(DecodeProfileText(bytes), section, key, value))
    return value;
  return std::u16string(Trim(defaultValue));
}

bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                               std::u16string_view path, std::u16string* reason) {
  std::u16string keyLine(Trim(key));
  keyLine.push_back(u'=');
  for (char16_t c : value)
    if (c != u'\r' && c != u'\n') keyLine.push_back(c);

  // Most writes make a new file (every shortcut of a favorites folder being
  // written afresh), so that is tried first, in one step.
  std::u16string content = u"[" + std::u16string(Trim(section)) + u"]\r\n" + keyLine + u"\r\n";
  std::string fresh = text::Utf16ToUtf8(content);
  if (!IsAscii(content)) fresh.insert(0, "\xEF\xBB\xBF\r\n");
  std::u16string whyNew;
  if (files::WriteNewFile(path, fresh, &whyNew)) return true;

  std::string bytes;
  if (!files::ReadWholeFile(path, bytes)) {
    std::uint32_t attributes = files::GetFileAttributes(path);
    if (reason) {
      *reason = attributes == files::kInvalidAttributes                ? whyNew
                : (attributes & files::kAttributeDirectory) != 0 ? u"A folder of that name is in the way."
                                                                  : files::LastErrorText();
    }
    return false;
  }

  bool wasUtf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                         (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  std::u16string textIn = DecodeProfileText(bytes);
  std::vector<std::u16string_view> lines = SplitLines(textIn);
  std::vector<std::u16string> outLines;
  outLines.reserve(lines.size() + 2);

  // Find the first matching section, then the first matching key in it.
  std::size_t sectionAt = lines.size(), insertAt = lines.size(), keyAt = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::u16string_view name;
    if (SectionName(lines[i], name)) {
      if (sectionAt != lines.size()) break;
      if (files::NamesEqualNoCase(name, Trim(section))) sectionAt = insertAt = i;
      continue;
    }
    if (sectionAt == lines.size()) continue;
    if (!Trim(lines[i]).empty()) insertAt = i;  // new keys go after the section's last line
    std::u16string_view k, v;
    if (KeyLine(lines[i], k, v) && files::NamesEqualNoCase(k, Trim(key))) {
      keyAt = i;
      break;
    }
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == keyAt) {
      outLines.push_back(keyLine);
      continue;
    }
    outLines.emplace_back(lines[i]);
    if (keyAt == lines.size() && sectionAt != lines.size() && i == insertAt) outLines.push_back(keyLine);
  }
  if (sectionAt == lines.size()) {
    outLines.push_back(u"[" + std::u16string(Trim(section)) + u"]");
    outLines.push_back(keyLine);
  }
  content.clear();
  for (const std::u16string& l : outLines) {
    content += l;
    content += u"\r\n";
  }
  std::string out;
  if (wasUtf16) {
    out = EncodeUtf16Le(content);
  } else {
    out = text::Utf16ToUtf8(content);
    // A byte-order mark goes on a line of its own, so that a reader that does
    // not know it sees one unknown line and still finds the first section.
    bool hadBomLine = !outLines.empty() && outLines.front().empty() && bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (!IsAscii(content)) out.insert(0, hadBomLine ? "\xEF\xBB\xBF" : "\xEF\xBB\xBF\r\n");
  }
  return files::WriteFileReplacing(path, out, reason);
}

}  // namespace profile
