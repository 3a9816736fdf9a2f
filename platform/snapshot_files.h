// Taking copies of files that another program may be writing at the same
// time: a private folder to put them in, and a stamp that tells whether a
// file changed while it was being copied.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace files {

// A private folder for a moment's work, removed with what it holds.
class TempFolder {
 public:
  TempFolder() = default;
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Makes the folder (open to this user only) in the system's place for
  // temporary files. False, with `reason`, when it cannot be made.
  bool Create(std::u16string* reason = nullptr);
  const std::u16string& Path() const { return path_; }

 private:
  std::u16string path_;
};

// What changes whenever a file's content does: its size and the time of its
// last change, to the finest step the system keeps. A missing file has
// exists == false.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t changedNanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp GetFileStamp(std::u16string_view path);

}  // namespace files

namespace files {

// The first `count` bytes of a file (fewer when it is shorter). False when
// it cannot be opened or read.
bool ReadFileStart(std::u16string_view path, std::size_t count, std::string& bytes);

}  // namespace files
