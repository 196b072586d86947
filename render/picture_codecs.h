// The platform's picture decoders behind render/picture_decoder.h: libjpeg-turbo
// and libpng natively (libjpeg_png_codecs.cpp), the Windows Imaging Component
// on Windows (win32_wic_codecs.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "render/bmp_reader.h"
#include "render/picture_reduce.h"

namespace orvex {

struct CodecResult {
    std::optional<RgbImage> image;  // bottom row first, reduced to the limits
    const char* failure = nullptr;  // why not, for bytes of a format the decoders know; null: not theirs
};

CodecResult decode_with_platform(const uint8_t* data, std::size_t size, const PictureLimits& limits);

}  // namespace orvex
