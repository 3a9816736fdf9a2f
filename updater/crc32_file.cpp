#include "updater/crc32_file.h"

#include <array>
#include <cstdio>
#include <vector>

#include "platform/files.h"

namespace {

// Eight tables let the loop fold eight bytes per step ("slicing by 8"); the
// first is the classic byte table for the reflected polynomial 0xEDB88320.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

CrcTables BuildTables() {
  CrcTables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (std::uint32_t i = 0; i < 256; ++i)
    for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
  return t;
}

const CrcTables& Tables() {
  static const CrcTables tables = BuildTables();
  return tables;
}

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const void* bytes, std::size_t count) {
  const CrcTables& t = Tables();
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  std::uint32_t c = ~crc;
  while (count >= 8) {
    std::uint32_t lo = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                            std::uint32_t(p[3]) << 24);
    c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][p[4]] ^
        t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    p += 8;
    count -= 8;
  }
  while (count--) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return ~c;
}

std::uint32_t Crc32File(std::u16string_view path) {
  std::FILE* file = files::OpenFile(path, "rb");
  if (!file) return 0;
  // Streamed rather than read whole, so a large file costs no memory.
  std::vector<std::uint8_t> chunk(1 << 16);
  std::uint32_t crc = 0;
  for (;;) {
    std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    crc = Crc32Update(crc, chunk.data(), got);
    if (got < chunk.size()) break;
  }
  std::fclose(file);
  return crc;
}
