#include "platform/posix/wine_prefix.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/files.h"
#include "platform/text.h"

namespace wine {

namespace {

// Wine names the profile folder after the Linux user.
std::u16string UserName() {
  for (std::u16string_view var : {u"USER", u"LOGNAME"}) {
    std::u16string v = files::GetEnvironmentVariable(var);
    if (!v.empty()) return v;
  }
  if (const passwd* pw = ::getpwuid(::getuid())) return text::Utf8ToUtf16(pw->pw_name);
  return u"user";
}

}  // namespace

std::u16string PrefixFolder() {
  std::u16string prefix = files::GetEnvironmentVariable(u"WINEPREFIX");
  if (!prefix.empty()) return prefix;
  std::u16string home = files::HomeDirectory();
  return home.empty() ? std::u16string() : home + u"/.wine";
}

bool PrefixVariable(std::u16string_view name, std::u16string& value) {
  std::u16string profile = u"C:\\users\\" + UserName();
  const struct {
    std::u16string_view name;
    std::u16string value;
  } variables[] = {
      {u"USERPROFILE", profile},
      {u"USERNAME", UserName()},
      {u"HOMEDRIVE", u"C:"},
      {u"HOMEPATH", profile.substr(2)},
      {u"APPDATA", profile + u"\\AppData\\Roaming"},
      {u"LOCALAPPDATA", profile + u"\\AppData\\Local"},
      {u"TEMP", profile + u"\\AppData\\Local\\Temp"},
      {u"TMP", profile + u"\\AppData\\Local\\Temp"},
      {u"PUBLIC", u"C:\\users\\Public"},
      {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
      {u"ProgramData", u"C:\\ProgramData"},
      {u"SystemDrive", u"C:"},
      {u"SystemRoot", u"C:\\windows"},
      {u"windir", u"C:\\windows"},
      {u"ProgramFiles", u"C:\\Program Files"},
      {u"CommonProgramFiles", u"C:\\Program Files\\Common Files"},
  };
  for (const auto& v : variables) {
    if (files::NamesEqualNoCase(v.name, name)) {
      value = v.value;
      return true;
    }
  }
  return false;
}

std::u16string DrivePathToLocal(std::u16string_view prefix, std::u16string_view path) {
  bool drivePath = path.size() >= 2 && path[1] == u':' && ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
                   (path.size() == 2 || path[2] == u'\\' || path[2] == u'/');
  if (!drivePath || prefix.empty()) return std::u16string(path);
  char16_t letter = text::AsciiLower(path[0]);
  std::u16string drive = std::u16string(prefix) + u"/dosdevices/" + letter + u":";
  if (files::GetFileAttributes(drive) == files::kInvalidAttributes && letter == u'c') drive = std::u16string(prefix) + u"/drive_c";
  // The drive's own link (dosdevices/c: -> ../drive_c) is followed, so that
  // messages name the folder where the files really are.
  if (char* real = ::realpath(files::NativePath(drive).c_str(), nullptr)) {
    drive = files::FromNativePath(real);
    std::free(real);
  }
  std::u16string rest(path.substr(2));
  std::replace(rest.begin(), rest.end(), u'\\', u'/');
  if (!drive.empty() && drive.back() == u'/' && !rest.empty()) rest.erase(0, 1);  // a drive on "/" itself
  return files::MatchExistingCase(drive + rest);
}

}  // namespace wine
