// INI ("private profile") files: one key of one section at a time, with the
// semantics of the platform's profile calls. Section and key names match
// without regard to case, the first matching section and key win, values are
// trimmed of surrounding blanks and of one pair of enclosing quotes.
//
// Files are read whatever their encoding: UTF-16 with a byte-order mark,
// UTF-8 with or without one, or the ANSI code page (Windows-1252) for bytes
// that are not UTF-8. They are written as UTF-8 (UTF-16 files stay UTF-16),
// with CR LF line ends, in a form the platform's own reader takes back.
#pragma once

#include <string>
#include <string_view>

namespace profile {

// The text of an INI file's bytes, decoded as described above.
std::u16string DecodeProfileText(std::string_view bytes);

// Looks `key` up in the first section named `section` of INI text. False when
// the section or the key is not there (a key with an empty value is found).
bool FindProfileValue(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                      std::u16string& value);

// The value of `key` in `section` of the file at `path`, or `defaultValue`
// when the file, the section or the key is missing. Values are never cut.
// Files of more than 16 MiB are taken for something else and not read.
std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::u16string_view path);

// Sets `key` in `section` of the file at `path`: the first matching key line is
// replaced, or the key is added at the end of the section, or the section is
// added at the end of the file, or the file is created. Everything else in the
// file is kept. Line breaks in `value` cannot be stored and are left out.
// False on failure, with `reason`.
bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                               std::u16string_view path, std::u16string* reason = nullptr);

}  // namespace profile
