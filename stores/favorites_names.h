// The names the favorites writer gives its folders and shortcut files: always
// inside their folder, acceptable to the file system, and distinct within
// their folder, so that no link is lost or written elsewhere.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

// The names already given in one folder, under their upper-cased form, since
// names that differ only in letter case are one file to Windows.
using UsedNames = std::unordered_set<std::u16string>;

// `name` made safe as one component of a path. Plain: path separators and NUL
// become "_", and an empty name, "." or ".." becomes underscores; for a folder
// (`isFolder`) trailing dots become "_" too, since the walk passes over
// folders whose name ends in a dot. Strict, for file systems that refuse more
// (and for Windows): also control characters and < > : " | ? *, a folder's
// trailing blanks, device names such as CON or LPT1, and names longer than
// kStrictNameLength units.
std::u16string SafeFileName(std::u16string_view name, bool isFolder, bool strict);

inline constexpr std::size_t kStrictNameLength = 60;

// The first of `base`, "base (2)", "base (3)", ... that, followed by
// `extension`, is not yet in `used`; it is then recorded there.
std::u16string UniqueName(std::u16string_view base, std::u16string_view extension, UsedNames& used);
