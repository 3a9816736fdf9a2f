#include "shell/backup_name.h"

#include "platform/files.h"

std::u16string FindFreeBackupName(std::u16string_view name) {
  std::u16string candidate(name);
  // A name the system cannot tell about ends the search too: writing there
  // fails and is reported, so nothing is overwritten.
  while (files::GetNameUse(candidate) == files::NameUse::kTaken) candidate += u".old";
  return candidate;
}
