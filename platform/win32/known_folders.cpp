#include "platform/win32/windows_api.h"

#include "platform/known_folders.h"

namespace special_folders {

std::vector<std::u16string> FirefoxProfileFolders() {
  wchar_t appData[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return {};
  return {win32::FromWide(appData) + u"\\Mozilla\\Firefox\\Profiles"};
}

}  // namespace special_folders
