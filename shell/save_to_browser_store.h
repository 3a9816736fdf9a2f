// Saving back into the browsers' own stores, each in its own format, only
// while the browser is closed and after a backup.
#pragma once

#include <string_view>

// Writes the repairs into Firefox's places database (firefoxBookmarkFile).
void SaveToFirefoxPlaces();

// True when `path` is the Chromium Bookmarks file the tree was loaded from.
bool SavesOverLoadedChromiumFile(std::u16string_view path);
// Writes the repairs into that file in its own format.
void SaveOverChromiumFile(std::u16string_view path);
