// The numbers of the BMP format that its reader and its band streaming share.
#pragma once

#include <cstdint>

namespace orvex {

constexpr uint32_t kBmpFileHeaderSize = 14;  // "BM", file size, reserved, pixel data offset
constexpr uint32_t kBmpCoreHeaderSize = 12;  // OS/2 1.x
constexpr uint32_t kBmpInfoHeaderSize = 40;  // Windows 3
constexpr uint32_t kBmpOs2HeaderSize = 64;   // OS/2 2.x

// Compressions.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

}  // namespace orvex
