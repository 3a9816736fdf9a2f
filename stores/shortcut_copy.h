// An exact copy of a favorites folder's internet shortcut files, kept before
// the folder is rewritten.
#pragma once

#include <string>
#include <string_view>

// Copies every file under `folder` that WriteFavorites deletes (each ".url"
// file, in any letter case, at every depth) into `copyFolder`, which is made
// here and must not exist yet. Bytes and paths below the folder stay as they
// were, so copying the files back restores the shortcuts exactly. False on
// the first failure, with `reason` naming the file; what was copied until
// then is removed again. A copy inside `folder` is refused, since the
// rewrite would delete it too.
bool CopyUrlFiles(std::u16string_view folder, std::u16string_view copyFolder, std::u16string* reason = nullptr);
