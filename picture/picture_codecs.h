// The platform's picture decoders behind picture/picture_decoder.h: libjpeg-turbo
// and libpng natively (libjpeg_png_codecs.cpp), the Windows Imaging Component
// on Windows (win32_wic_codecs.cpp). Each reads the picture's header first and
// refuses one over the pixel limit before decoding, reads the rest from the
// input as it decodes, and gives up at its next band of rows once the limits'
// cancel flag is set.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/byte_order.h"
#include "picture/bmp_reader.h"
#include "picture/picture_input.h"
#include "picture/picture_reduce.h"

namespace orvex {

struct CodecResult {
    std::optional<RgbImage> image;  // bottom row first, reduced to the limits
    const char* failure = nullptr;  // why not, for bytes of a format the decoders know; null: not theirs
};

// head: the input's first bytes, enough to tell the format.
CodecResult decode_with_platform(PictureInput& input, const uint8_t* head, std::size_t head_size,
                                 const PictureLimits& limits);

inline bool is_jpeg_signature(const uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

inline bool is_png_signature(const uint8_t* data, std::size_t size) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::equal(kPng, kPng + 8, data);
}

// The pixels a PNG's first chunk (IHDR) gives it, from the file's first
// bytes; 0 when they hold none. The decoders would read every chunk before
// the pixels first.
inline uint64_t png_header_pixels(const uint8_t* data, std::size_t size) {
    constexpr std::size_t kIhdrEnd = 24;  // signature, chunk length and type, width, height
    if (!is_png_signature(data, size) || size < kIhdrEnd || !std::equal(data + 12, data + 16, "IHDR")) return 0;
    return uint64_t{be32(data + 16)} * be32(data + 20);
}

// Whether width x height pixels exceed the limit, without overflow.
inline bool over_pixel_limit(uint64_t width, uint64_t height, int64_t max_pixels) {
    return max_pixels < 0 || (width != 0 && height > static_cast<uint64_t>(max_pixels) / width);
}

// The memory a decoder may take for its own work beyond a few rows (libjpeg's
// coefficients of a progressive picture): a picture file's bytes can't ask for
// more than this, however small the file.
constexpr uint64_t kDecoderMemoryFloor = uint64_t{32} << 20;
constexpr uint64_t kDecoderMemoryPerFileByte = 128;
inline uint64_t decoder_memory_budget(uint64_t file_size) {
    return std::max(kDecoderMemoryFloor, file_size * kDecoderMemoryPerFileByte);
}

}  // namespace orvex
