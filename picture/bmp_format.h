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

// Whether a depth goes through a palette.
constexpr bool bmp_paletted(uint32_t bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

// The bytes of colour masks that follow a 40-byte info header for this depth
// and compression (height: negative for rows stored top down, which RLE can't
// be), or -1 when the pair is not one the reader converts.
constexpr int bmp_mask_bytes(uint32_t bits, uint32_t compression, int64_t height) {
    switch (compression) {
        case kBiRgb: return bmp_paletted(bits) || bits == 16 || bits == 24 || bits == 32 ? 0 : -1;
        case kBiRle8: return bits == 8 && height > 0 ? 0 : -1;
        case kBiRle4: return bits == 4 && height > 0 ? 0 : -1;
        case kBiBitfields: return bits == 16 || bits == 32 ? 12 : -1;
        case kBiAlphaBitfields: return bits == 16 || bits == 32 ? 16 : -1;
        default: return -1;
    }
}

// Bytes from one uncompressed row to the next (rows are padded to 32 bits),
// and the bytes of the last row, whose padding may be missing.
constexpr uint64_t bmp_row_stride(uint64_t width, uint32_t bits) { return (width * bits + 31) / 32 * 4; }
constexpr uint64_t bmp_last_row_bytes(uint64_t width, uint32_t bits) { return (width * bits + 7) / 8; }

}  // namespace orvex
