// Whether a browser has one of its profiles open, told the way the browser
// itself tells it, so that its files are never written under it.
#pragma once

#include <string>
#include <string_view>

namespace browser_profiles {

// True when a running Firefox holds the profile folder's lock.
bool FirefoxProfileInUse(std::u16string_view profileFolder);

// True when a running Chromium-family browser holds the lock of the user
// data folder that the Bookmarks file at `bookmarksFile` belongs to (the
// lock lies in the profile's parent folder, or in the profile folder itself
// for a browser started on that folder directly).
bool ChromiumProfileInUse(std::u16string_view bookmarksFile);

}  // namespace browser_profiles
