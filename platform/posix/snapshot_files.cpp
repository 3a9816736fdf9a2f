#include "platform/snapshot_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace files {

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  const std::string folder = NativePath(path_);
  // Only what this program put there: plain files, no sub-folders.
  if (DIR* dir = ::opendir(folder.c_str())) {
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : names) ::unlink((folder + "/" + name).c_str());
  }
  ::rmdir(folder.c_str());
}

bool TempFolder::Create(std::u16string* reason) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/linnet-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    if (reason) *reason = LastErrorText();
    return false;
  }
  path_ = FromNativePath(pattern);
  return true;
}

FileStamp GetFileStamp(std::u16string_view path) {
  FileStamp stamp;
  struct stat st;
  if (::stat(NativePath(path).c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.changedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace files

namespace files {

bool ReadFileStart(std::u16string_view path, std::size_t count, std::string& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (!file) return false;
  bytes.resize(count);
  const std::size_t got = std::fread(bytes.data(), 1, count, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  bytes.resize(got);
  return !failed;
}

}  // namespace files
