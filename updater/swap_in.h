// Putting a verified copy in place of a file by renaming.
#pragma once

#include <string_view>

// Moves localPath aside to `old` (replacing any earlier one) and the staged
// copy into its place, after giving the staged copy the permissions of
// localPath (when that fails, nothing is moved and the result is false). A
// missing localPath is fine: the staged copy simply takes its place. When
// the staged copy cannot be put in place, the old copy is moved back, so the
// file is never left missing, and the result is false. oldMoved tells
// whether `old` now holds the previous copy.
bool SwapIn(std::u16string_view localPath, std::u16string_view staged, std::u16string_view old, bool& oldMoved);
