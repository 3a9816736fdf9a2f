// Names for backups that never overwrite an earlier backup.
#pragma once

#include <string>
#include <string_view>

// The name itself when nothing of that name exists (no file, readable or
// not, no folder, no link); otherwise the first of name.old, name.old.old,
// ... that is free.
std::u16string FindFreeBackupName(std::u16string_view name);
