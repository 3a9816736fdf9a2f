#include "platform/registry.h"

#include "platform/files.h"
#include "platform/posix/wine_prefix.h"
#include "platform/posix/wine_registry_file.h"
#include "platform/text.h"

extern char** environ;

namespace registry {

namespace {

// Windows names variables without regard to case; Linux does not, so the
// exact spelling is tried first, then any spelling.
std::u16string EnvironmentValue(std::u16string_view name) {
  std::u16string value = files::GetEnvironmentVariable(name);
  if (!value.empty()) return value;
  for (char** entry = environ; entry && *entry; ++entry) {
    std::u16string text = text::Utf8ToUtf16(*entry);
    std::size_t eq = text.find(u'=');
    if (eq != std::u16string::npos && files::NamesEqualNoCase(std::u16string_view(text).substr(0, eq), name))
      return text.substr(eq + 1);
  }
  return {};
}

}  // namespace

bool QueryCurrentUserValue(std::u16string_view key, std::u16string_view valueName, std::u16string& data) {
  std::u16string prefix = wine::PrefixFolder();
  std::string bytes;
  if (prefix.empty() || !files::ReadWholeFile(prefix + u"/user.reg", bytes)) return false;
  return wine::FindRegistryValue(text::Utf8ToUtf16(bytes), key, valueName, data);
}

std::u16string ExpandEnvironmentStrings(std::u16string_view source) {
  std::u16string out;
  std::size_t pos = 0;
  while (pos < source.size()) {
    std::size_t open = source.find(u'%', pos);
    std::size_t close = open == std::u16string_view::npos ? open : source.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      out.append(source.substr(pos));
      break;
    }
    out.append(source.substr(pos, open - pos));
    std::u16string_view name = source.substr(open + 1, close - open - 1);
    std::u16string value;
    if (!name.empty() && wine::PrefixVariable(name, value)) {
      out += value;
    } else if (!name.empty() && !(value = EnvironmentValue(name)).empty()) {
      out += value;
    } else {
      // Not a variable: the text stays, and its closing % may open the next one.
      out.append(source.substr(open, close - open));
      pos = close;
      continue;
    }
    pos = close + 1;
  }
  return wine::DrivePathToLocal(wine::PrefixFolder(), out);
}

}  // namespace registry
