// The BMP reader: turns the bytes of a Windows or OS/2 bitmap into 24-bit RGB
// pixels for the picture texture.
//
// Read: 12-byte (OS/2 core) and 40-byte (Windows) info headers, with or without
// the 14-byte "BM" file header; 1, 2, 4 and 8 bits per pixel through the
// palette; 8-bit and 4-bit RLE; 16 and 32 bits per pixel, plain (16-bit is
// 5-5-5) or with BI_BITFIELDS / BI_ALPHABITFIELDS masks; 24 bits per pixel;
// rows stored bottom up or (uncompressed only) top down. Any other info header
// size, 108 and 124 among them, is an unknown format.
//
// Damaged files never make the reader look outside the given bytes:
// - every size, offset and count is checked against the length first; pixel
//   data that runs past the end is a conversion error;
// - palette entries that the file doesn't hold (the count promises more than
//   lies before the pixel data, or a pixel's index is beyond the palette) come
//   out black; a colours-used count larger than the depth can index only has
//   its first 2^bits entries read;
// - RLE runs past the end of a row are clipped, moves below the last row end
//   the picture, and pixels the stream skips stay black; a stream that ends
//   before the last row without its end marker is a conversion error;
// - pictures over kMaxPixels pixels are refused with "Out of memory." before
//   anything is allocated.
// A failed call shows exactly one message, with the caption "Error".
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"

namespace orvex {

// Three bytes per pixel (red, green, blue), rows without padding, the bottom
// row of the picture first: width * height * 3 bytes.
struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

constexpr int64_t kMaxPixels = int64_t{64} * 1024 * 1024;  // 8192 x 8192

extern const char* const kBmpErrorCaption;     // "Error"
extern const char* const kBmpUnknownFormat;    // header size other than 12 or 40
extern const char* const kBmpConversionError;  // pixels that can't become RGB
extern const char* const kBmpOutOfMemory;      // too big, or allocation failed
// "Failed to open DIB file <file_name>.\n"
std::string bmp_open_failure_message(const std::string& file_name);

// Reads a whole BMP file held in memory; file_name only appears in the message
// for an empty file. Pictures of more than max_pixels pixels are refused (the
// fuzzer lowers it to stay fast).
std::optional<RgbImage> auxDIBImageLoadA(const uint8_t* data, std::size_t size, const std::string& file_name,
                                         MessageSink& sink, int64_t max_pixels = kMaxPixels);

// A missing name or a file that can't be opened gives none without a message;
// otherwise the file's bytes go through auxDIBImageLoadA.
std::optional<RgbImage> LoadBMP(const std::filesystem::path& file_name, MessageSink& sink);

}  // namespace orvex
