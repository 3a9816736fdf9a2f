// Placeholder until the favorites store lands: delete this file then.
#include "stores/favorites.h"
#include "stores/locate_stores.h"

void WalkFolder(std::u16string_view, const std::u16string*, BookmarkFolder&, std::size_t, WalkCallback) {}
void ReadUrlFile(std::u16string_view, const files::DirEntry&, BookmarkFolder&, std::size_t) {}
bool WriteFavorites(std::u16string_view, const BookmarkFolder&, std::u16string* reason) {
  if (reason) *reason = u"not available";
  return false;
}
void DeleteUrlFile(std::u16string_view, const files::DirEntry&, BookmarkFolder&, std::size_t) {}
bool WriteFavoritesFolder(std::u16string_view, const BookmarkFolder&, bool, std::u16string*) { return false; }
bool WriteUrlFile(std::u16string_view, const BookmarkLink&, std::u16string*) { return false; }
void LocateFavorites() {}
void LocateFirefoxBookmarks() {}
