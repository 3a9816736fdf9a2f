// Writing a file that takes the place of another only once it is complete.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace files {

// The bytes go to a temporary file in the target's folder; Commit flushes it
// to disk and renames it over the target in one step, so that the target is
// either left exactly as it was or replaced whole. A writer destroyed without
// a successful Commit removes its temporary file, and Open removes those that
// an interrupted write to the same target left behind (never one that a write
// in progress, in this process or another, is using). A new target gets the
// usual permissions; a replaced one keeps its own.
class ReplacingFile {
 public:
  ReplacingFile();
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False (with `reason`) when the temporary file cannot be made, or the
  // target is a folder.
  bool Open(std::u16string_view path, std::u16string* reason = nullptr);
  // Appends bytes. A failure is remembered and reported by Commit.
  void Write(std::string_view bytes);
  // False (with `reason`) when anything failed since Open; the target is
  // then untouched and the temporary file gone.
  bool Commit(std::u16string* reason = nullptr);

  struct State;  // the platform's own

 private:
  std::unique_ptr<State> state_;
};

}  // namespace files
