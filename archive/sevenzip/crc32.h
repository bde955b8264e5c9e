// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320), the checksum the 7z
// format keeps for headers, pack streams and every unpacked file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kox::sevenzip {

// Continues a CRC: start with crc32Update(0, ...), feed every chunk in order.
uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size);

inline uint32_t crc32(const uint8_t* data, size_t size) { return crc32Update(0, data, size); }

}  // namespace kox::sevenzip
