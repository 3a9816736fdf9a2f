// The CRC-32 (IEEE 802.3) digest some update requests compare files by; its
// text form is the unsigned decimal value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Continues a CRC-32 over more bytes; start with crc 0.
std::uint32_t Crc32Update(std::uint32_t crc, const void* bytes, std::size_t count);

// The CRC-32 of the file's contents; 0 when it cannot be opened.
std::uint32_t Crc32File(std::u16string_view path);
