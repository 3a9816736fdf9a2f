// Folders that the system or other programs define, by what they are for.
#pragma once

#include <string>
#include <vector>

namespace special_folders {

// The folders in which Firefox keeps its profiles, in the order to try them.
// On Windows the application-data folder's Mozilla\Firefox\Profiles; on Linux
// ~/.mozilla/firefox, then the Snap and Flatpak packages' own copies of it.
// Empty when the user's home folder is not known.
std::vector<std::u16string> FirefoxProfileFolders();

}  // namespace special_folders
