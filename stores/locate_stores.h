// Finding the two stores known by place, once at start.
#pragma once

// Sets favoritesFolder (empty when not found).
void LocateFavorites();
// Sets firefoxBookmarkFile when the default profile has a bookmark file, or
// else to its places database when it has one.
void LocateFirefoxBookmarks();
