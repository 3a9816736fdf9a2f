// The three store radio buttons that the source and save-target dialogs share:
// 201 Internet Explorer, 202 Firefox, 203 a bookmark file (200 plus the
// BookmarkSource / SaveTarget number).
#pragma once

#include "platform/ui.h"

inline constexpr int kChoiceInternetExplorer = 201;
inline constexpr int kChoiceFirefox = 202;
inline constexpr int kChoiceBookmarkFile = 203;

// Selects the choice numbered `choice` (1 to 3) and, when no Firefox bookmark
// file was found, greys out the Firefox choice.
void InitStoreChoice(ui::Window dialog, int choice);

// The selected choice, testing 201, 202, 203 in that order: 1, 2 or 3; 0 when
// none is selected.
int SelectedStoreChoice(ui::Window dialog);
