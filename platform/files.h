// Files by UTF-16 path. On Linux a path is converted to UTF-8 bytes for the
// system; the separator is the platform's own (kSeparator).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace files {

#ifdef _WIN32
inline constexpr char16_t kSeparator = u'\\';
#else
inline constexpr char16_t kSeparator = u'/';
#endif

// "a" + separator + "b".
std::u16string JoinPath(std::u16string_view dir, std::u16string_view name);

// The path as the operating system takes it (UTF-8 on Linux).
std::string NativePath(std::u16string_view path);
std::u16string FromNativePath(std::string_view native);

// Opens a file by its UTF-16 path with a C library mode ("rb", "wb"), so that
// every path the system can name opens, whatever the system code page. Null
// when it cannot be opened; the caller closes it with std::fclose.
std::FILE* OpenFile(std::u16string_view path, const char* mode);

// True when the path opens as a regular file for binary reading (fopen "rb").
bool CanOpenForReading(std::u16string_view path);

// Whether anything at all has the name: a file (readable or not), a folder,
// a link (even one that leads nowhere). kUnknown when the system cannot tell
// (a folder on the way that cannot be searched, a name too long); nothing
// can be made under such a name either.
enum class NameUse { kFree, kTaken, kUnknown };
NameUse GetNameUse(std::u16string_view path);

// Reads a whole file. False when it cannot be opened or read.
bool ReadWholeFile(std::u16string_view path, std::string& bytes);

// Replaces the file at `path` with `bytes` safely: the bytes go to a temporary
// file in the same folder, are flushed to disk, and the temporary file is then
// renamed over the target in one step. On any failure the target is left
// exactly as it was, the temporary file is removed, `reason` (when given)
// receives a human-readable cause, and the result is false.
bool WriteFileReplacing(std::u16string_view path, std::string_view bytes, std::u16string* reason = nullptr);

// File attributes in the walk's terms.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;
std::uint32_t GetFileAttributes(std::u16string_view path);

// One entry of a directory listing.
struct DirEntry {
  std::u16string name;
  bool isDirectory = false;
};

// Lists a directory in the order Windows lists a folder on NTFS: names
// compared ordinally without regard to case (upper-cased UTF-16 units), so
// the order never depends on the file system. "." and ".." are included first,
// as the platform lists them. False when the directory cannot be listed.
bool ListDirectory(std::u16string_view dir, std::vector<DirEntry>& entries);

// Creates the file at `path`, which must not exist yet, with `bytes`. Meant
// for many small new files, so it does not wait for the disk. False when the
// file exists or cannot be written, with `reason`; a partly written file is
// removed.
bool WriteNewFile(std::u16string_view path, std::string_view bytes, std::u16string* reason = nullptr);

// True when two names are the same name to Windows (upper-cased UTF-16 units
// equal), the comparison behind ListDirectory's order.
bool NamesEqualNoCase(std::u16string_view a, std::u16string_view b);
// The name upper-cased the same way: a key under which names that Windows
// takes for the same name meet.
std::u16string UpperCaseName(std::u16string_view name);

// The path as it is spelled on disk. Where a component does not exist as
// spelled, the first entry of its folder (in listing order) that differs only
// in letter case is used instead, as a case-insensitive file system would
// find it; components that match nothing are kept as given.
std::u16string MatchExistingCase(std::u16string_view path);

// What makes a file or folder itself, whatever path reaches it (symbolic
// links included): two paths with equal identities are the same object.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};
bool GetFileIdentity(std::u16string_view path, FileIdentity& identity);

bool CreateDirectory(std::u16string_view path);  // one level; false if it exists or fails
bool RemoveDirectory(std::u16string_view path);  // an empty one only
bool DeleteFile(std::u16string_view path);
// Copies a file, replacing the target. False on failure, with `reason`.
bool CopyFile(std::u16string_view from, std::u16string_view to, std::u16string* reason = nullptr);
// Renames, replacing an existing target, flushed through to disk.
bool MoveFileReplacing(std::u16string_view from, std::u16string_view to, std::u16string* reason = nullptr);

// Gives `to` the permissions of `from` (on Linux the mode bits; on Windows
// the file attributes, GetFileAttributesW then SetFileAttributesW), so that a
// file put in another's place can be used as that one was: a program stays
// executable. False when `from` cannot be examined or `to` cannot be changed.
bool CopyFileAttributes(std::u16string_view from, std::u16string_view to);

std::u16string GetCurrentDirectory();
// Full path of the running program's executable.
std::u16string GetModuleFileName();
// The user's home folder, and an environment variable (empty when unset).
std::u16string HomeDirectory();
std::u16string GetEnvironmentVariable(std::u16string_view name);

// The text of the last system error, for messages.
std::u16string LastErrorText();

}  // namespace files
