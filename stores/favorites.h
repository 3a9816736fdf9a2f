// Internet Explorer favorites: a folder tree of internet shortcut files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/bookmark_tree.h"
#include "platform/files.h"

// Called once per file met by WalkFolder: the directory path as the walk
// built it, the file's entry, and the root folder and root path length that
// were handed to the walk.
using WalkCallback = void (*)(std::u16string_view directory, const files::DirEntry& entry, BookmarkFolder& root,
                              std::size_t rootPathLength);

// Walks `name` (inside `parent` when given) depth first, calling `callback`
// for every file.
void WalkFolder(std::u16string_view name, const std::u16string* parent, BookmarkFolder& root,
                std::size_t rootPathLength, WalkCallback callback);

// The walk callback that reads one internet shortcut into the tree.
void ReadUrlFile(std::u16string_view directory, const files::DirEntry& entry, BookmarkFolder& root,
                 std::size_t rootPathLength);

// Replaces the shortcut files under `folder` with the tree. False on
// failure, with `reason`.
bool WriteFavorites(std::u16string_view folder, const BookmarkFolder& root, std::u16string* reason = nullptr);
void DeleteUrlFile(std::u16string_view directory, const files::DirEntry& entry, BookmarkFolder& root,
                   std::size_t rootPathLength);
bool WriteFavoritesFolder(std::u16string_view directory, const BookmarkFolder& folder, bool topLevel,
                          std::u16string* reason = nullptr);
bool WriteUrlFile(std::u16string_view directory, const BookmarkLink& link, std::u16string* reason = nullptr);
