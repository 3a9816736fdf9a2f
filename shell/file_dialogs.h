// The open and save dialogs of the bookmark-file choices.
#pragma once

#include <string>

// Asks for a bookmark file to read, starting in `initialName` (the start-up
// folder). False when cancelled or failed; otherwise `path` is the choice.
bool AskBookmarkFileToOpen(const std::u16string& initialName, std::u16string& path);

// Asks for the file to save to, starting empty. False when cancelled or failed.
bool AskBookmarkFileToSave(std::u16string& path);
