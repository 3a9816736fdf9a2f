#include "shell/backup_name.h"

#include "platform/files.h"

std::u16string FindFreeBackupName(std::u16string_view name) {
  std::u16string candidate(name);
  while (files::CanOpenForReading(candidate)) candidate += u".old";
  return candidate;
}
