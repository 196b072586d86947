#include "host/web/page_codecs.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "render/picture_codecs.h"
#include "render/picture_reduce.h"

namespace orvex {

namespace {

// A file's identity: its length and 64-bit FNV-1a hash of its bytes.
using FileKey = std::pair<std::size_t, std::uint64_t>;

// The source rows taken at a time: about a megabyte of them.
constexpr int kBandBytes = 1 << 20;

FileKey key_of(const std::uint8_t* data, std::size_t size) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
    return {size, h};
}

// A decoded picture, bottom row first, as reduced when it came, and the size
// of its source.
struct Kept {
    int source_width = 0;
    int source_height = 0;
    RgbImage image;
};

// Nothing: undecodable.
std::map<FileKey, std::optional<Kept>>& remembered() {
    static std::map<FileKey, std::optional<Kept>> pictures;
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
    const Kept& kept = *found->second;
    if (static_cast<int64_t>(kept.source_width) * kept.source_height > limits.max_source_pixels) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    // Kept no larger than the canvas needs, so this is at most a small reduction.
    result.image = reduce_image(kept.image, limits.max_side);
    return result;
}

namespace web {

void remember_decoded(const std::uint8_t* file, std::size_t size, int width, int height, int max_side,
                      const RgbaRows& rows) {
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPixels) {
        remember_undecodable(file, size);
        return;
    }
    BoxReducer reducer(width, height, reduced_side(width, max_side), reduced_side(height, max_side));
    const int band = std::max(1, std::min(height, kBandBytes / (width * 4)));
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(band) * width * 4);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
    for (int top = 0; top < height; top += band) {
        const int count = std::min(band, height - top);
        if (!rows(top, count, rgba.data())) {
            remember_undecodable(file, size);
            return;
        }
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* src = rgba.data() + static_cast<std::size_t>(i) * width * 4;
            for (int x = 0; x < width; ++x) {
                rgb[3 * static_cast<std::size_t>(x)] = src[4 * x];
                rgb[3 * static_cast<std::size_t>(x) + 1] = src[4 * x + 1];
                rgb[3 * static_cast<std::size_t>(x) + 2] = src[4 * x + 2];
            }
            reducer.add_row(height - 1 - (top + i), rgb.data());
        }
    }
    remembered()[key_of(file, size)] = Kept{width, height, reducer.finish()};
}

void remember_undecodable(const std::uint8_t* file, std::size_t size) { remembered()[key_of(file, size)].reset(); }

std::size_t remembered_pictures() { return remembered().size(); }

}  // namespace web
}  // namespace orvex
