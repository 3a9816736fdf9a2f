// The digest INI the update server answers with: section "Hash", one key
// per file ("1", "2", ...), each holding that file's digest text.
#pragma once

#include <string>
#include <string_view>

// The value of `key` in section "Hash" of the INI file at `path`, at most
// 99 units; empty when the file, the section or the key is missing.
std::u16string ReadDigestIni(std::u16string_view path, std::u16string_view key);
