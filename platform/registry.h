// Read-only registry lookups and environment-variable expansion.
//
// On Linux there is no registry of the user's own; the answers come from the
// user's Wine prefix ($WINEPREFIX, else ~/.wine), where the Windows programs a
// Linux user runs keep their data: values from its user.reg, variables as Wine
// sets them inside the prefix (%USERPROFILE% is C:\users\<user>), and drive
// paths mapped through its dosdevices folder to the Linux paths behind them.
#pragma once

#include <string>
#include <string_view>

namespace registry {

// The text of `valueName` in `key` below HKEY_CURRENT_USER (string and
// expandable-string values). False when the key or the value is missing or
// holds no text; `data` is then left as it was.
bool QueryCurrentUserValue(std::u16string_view key, std::u16string_view valueName, std::u16string& data);

// `text` with every %NAME% of a defined variable replaced by its value
// (names without regard to case; undefined ones are kept as they stand). On
// Linux a result that is a drive path ("C:\...") is then turned into the path
// that reaches the same file from Linux.
std::u16string ExpandEnvironmentStrings(std::u16string_view text);

}  // namespace registry
