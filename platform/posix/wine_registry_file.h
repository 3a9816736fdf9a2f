// Wine's text form of a registry hive (user.reg, system.reg).
#pragma once

#include <string>
#include <string_view>

namespace wine {

// Looks up the text of `valueName` ("" or "@" for the default value) in the
// key `key` (backslashes single, as Windows spells it) of a hive's text.
// String values ("..."), expandable and other str(N) values and hex(1) or
// hex(2) values hold text; other kinds do not. Names match without regard
// to case.
bool FindRegistryValue(std::u16string_view hive, std::u16string_view key, std::u16string_view valueName,
                       std::u16string& data);

}  // namespace wine
