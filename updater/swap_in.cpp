#include "updater/swap_in.h"

#include "platform/files.h"

bool SwapIn(std::u16string_view localPath, std::u16string_view staged, std::u16string_view old, bool& oldMoved) {
  oldMoved = false;
  // The download was made as a plain new file: without the permissions of
  // the file it replaces, a program could not be started again.
  if (files::GetFileAttributes(localPath) != files::kInvalidAttributes &&
      !files::CopyFileAttributes(localPath, staged))
    return false;
  files::DeleteFile(old);
  // This fails when there is no local copy yet, which is fine: the staged
  // copy simply takes its place.
  oldMoved = files::MoveFileReplacing(localPath, old);
  if (files::MoveFileReplacing(staged, localPath)) return true;
  if (oldMoved) files::MoveFileReplacing(old, localPath);
  oldMoved = false;
  return false;
}
