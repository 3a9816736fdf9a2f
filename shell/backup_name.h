// Names for backups that never overwrite an earlier backup.
#pragma once

#include <string>
#include <string_view>

// The name itself when no file of that name can be read; otherwise the first
// of name.old, name.old.old, ... that cannot.
std::u16string FindFreeBackupName(std::u16string_view name);
