// Process-wide state of one run of the program: the wizard sets it up, the
// check workers and dialogs read it.
#pragma once

#include <cstdint>
#include <string>

#include "model/bookmark_tree.h"
#include "platform/threads.h"
#include "platform/ui.h"

// What to do with each kind of problem; 0 means the choice was cancelled.
using ActionFlags = std::uint32_t;
inline constexpr ActionFlags AF_CHOSEN = 0x0001;
inline constexpr ActionFlags AF_FIX_404 = 0x0010;
inline constexpr ActionFlags AF_DELETE_500 = 0x0100;
inline constexpr ActionFlags AF_DELETE_FAILURE = 0x1000;

// Where bookmarks come from (the source dialog's result) and where they go
// (the save-target dialog's result); both share the numbering.
using BookmarkSource = int;
using SaveTarget = int;
inline constexpr int kSourceCancelled = 0;
inline constexpr int kSourceInternetExplorer = 1;
inline constexpr int kSourceFirefox = 2;
inline constexpr int kSourceBookmarkFile = 3;

extern BookmarkTree bookmarkTree;
extern std::u16string favoritesFolder;      // empty when not found
// The Firefox store: the profile's bookmark file, or its places database
// when it has none. Empty when not found: Firefox choices disabled.
extern std::u16string firefoxBookmarkFile;
extern std::u16string startupDirectory;
extern ui::Icon appIcon;
extern ActionFlags actionFlags;
extern CheckQueue checkQueue;
extern threads::CriticalSection checkQueueLock;
