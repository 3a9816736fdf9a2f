#include "platform/known_folders.h"

#include "platform/files.h"

namespace special_folders {

std::vector<std::u16string> FirefoxProfileFolders() {
  std::u16string home = files::HomeDirectory();
  if (home.empty()) return {};
  return {
      home + u"/.mozilla/firefox",
      home + u"/snap/firefox/common/.mozilla/firefox",
      home + u"/.var/app/org.mozilla.firefox/.mozilla/firefox",
  };
}

}  // namespace special_folders
