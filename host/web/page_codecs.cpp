#include "host/web/page_codecs.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "render/picture_codecs.h"

namespace orvex {

namespace {

// A file's identity: its length and 64-bit FNV-1a hash of its bytes.
using FileKey = std::pair<std::size_t, std::uint64_t>;

FileKey key_of(const std::uint8_t* data, std::size_t size) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
    return {size, h};
}

// Decoded pictures, bottom row first, at full size; nothing: undecodable.
std::map<FileKey, std::optional<RgbImage>>& remembered() {
    static std::map<FileKey, std::optional<RgbImage>> pictures;
    return pictures;
}

}  // namespace

// The browser decoded the page's pictures ahead (remember_decoded); a file is
// found among them by its bytes, whole.
CodecResult decode_with_platform(PictureInput& input, const uint8_t* head, std::size_t head_size,
                                 const PictureLimits& limits) {
    CodecResult result;
    if (!is_jpeg_signature(head, head_size) && !is_png_signature(head, head_size)) return result;
    std::vector<std::uint8_t> read;
    const std::uint8_t* data = input.memory();
    const auto size = static_cast<std::size_t>(input.size());
    if (data == nullptr) {
        read.resize(size);
        if (!input.seek(0) || input.read(read.data(), size) != size) {
            result.failure = kBmpConversionError;
            return result;
        }
        data = read.data();
    }
    const auto found = remembered().find(key_of(data, size));
    if (found == remembered().end() || !found->second) {
        result.failure = kBmpConversionError;
        return result;
    }
    const RgbImage& full = *found->second;
    if (static_cast<int64_t>(full.width) * full.height > limits.max_source_pixels) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    result.image = reduce_image(full, limits.max_side);
    return result;
}

namespace web {

void remember_decoded(const std::uint8_t* file, std::size_t size, int width, int height,
                      const std::uint8_t* rgba_top_down) {
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPixels) {
        remember_undecodable(file, size);
        return;
    }
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rgba_top_down + static_cast<std::size_t>(height - 1 - y) * width * 4;
        std::uint8_t* dst = image.pixels.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = src[4 * x];
            dst[3 * x + 1] = src[4 * x + 1];
            dst[3 * x + 2] = src[4 * x + 2];
        }
    }
    remembered()[key_of(file, size)] = std::move(image);
}

void remember_undecodable(const std::uint8_t* file, std::size_t size) { remembered()[key_of(file, size)].reset(); }

std::size_t remembered_pictures() { return remembered().size(); }

}  // namespace web
}  // namespace orvex
