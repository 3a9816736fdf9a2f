#include "stores/favorites_names.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/text.h"

namespace {

constexpr char16_t kReplacement = u'_';

bool IsDeviceName(std::u16string_view name) {
  // Windows reserves these names whatever follows them after a dot.
  std::u16string_view stem = name.substr(0, name.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  static constexpr std::u16string_view kDevices[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
  for (std::u16string_view d : kDevices)
    if (text::EqualsAsciiNoCase(stem, d)) return true;
  if (stem.size() == 4 && (text::EqualsAsciiNoCase(stem.substr(0, 3), u"COM") ||
                           text::EqualsAsciiNoCase(stem.substr(0, 3), u"LPT")))
    return stem[3] >= u'1' && stem[3] <= u'9';
  return false;
}

bool RefusedByWindows(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' || c == u'*';
}

}  // namespace

std::u16string SafeFileName(std::u16string_view name, bool isFolder, bool strict) {
  std::u16string out(name);
  if (strict && out.size() > kStrictNameLength) {
    std::size_t cut = kStrictNameLength;
    if (out[cut - 1] >= 0xD800 && out[cut - 1] <= 0xDBFF) --cut;  // keep surrogate pairs whole
    out.resize(cut);
  }
  for (char16_t& c : out) {
    if (c == u'/' || c == u'\\' || c == 0 || (strict && RefusedByWindows(c))) c = kReplacement;
  }
  if (out.empty()) out.push_back(kReplacement);
  if (out == u"." || out == u"..") std::fill(out.begin(), out.end(), kReplacement);
  if (isFolder) {
    for (std::size_t i = out.size(); i-- > 0;) {
      bool trailing = out[i] == u'.' || (strict && out[i] == u' ');
      if (!trailing) break;
      out[i] = kReplacement;
    }
  }
  if (strict && IsDeviceName(out)) out.insert(out.begin(), kReplacement);
  return out;
}

std::u16string UniqueName(std::u16string_view base, std::u16string_view extension, UsedNames& used) {
  std::u16string name(base);
  for (unsigned n = 2; !used.insert(files::UpperCaseName(name + std::u16string(extension))).second; ++n)
    name = text::Format(u"%s (%u)", base, n);
  return name;
}
