// The user's Wine prefix: where Windows programs run by a Linux user keep
// their registry and their C: drive.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// $WINEPREFIX, else ~/.wine; empty when neither can be named.
std::u16string PrefixFolder();

// The value Wine gives a variable inside the prefix (USERPROFILE, APPDATA,
// SystemRoot, ...); false for variables it takes from the Linux environment.
bool PrefixVariable(std::u16string_view name, std::u16string& value);

// A drive path ("C:\users\me") as the Linux path to the same place, through
// the prefix's dosdevices folder, each component matched without regard to
// case as Wine matches it. Anything else is returned unchanged.
std::u16string DrivePathToLocal(std::u16string_view prefix, std::u16string_view path);

}  // namespace wine
