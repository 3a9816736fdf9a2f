#include "model/app_state.h"

BookmarkTree bookmarkTree;
std::u16string favoritesFolder;
std::u16string firefoxBookmarkFile;
std::u16string startupDirectory;
ui::Icon appIcon = nullptr;
ActionFlags actionFlags = 0;
CheckQueue checkQueue;
threads::CriticalSection checkQueueLock;
