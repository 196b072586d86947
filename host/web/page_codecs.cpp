#include "host/web/page_codecs.h"

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

FileKey key_of(const std::uint8_t* data, std::size_t size) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
    return {size, h};
}

// A decoded picture, bottom row first, as reduced when it came, and the size
// of its source (a source over the limit keeps no picture).
struct Kept {
    int64_t source_width = 0;
    int64_t source_height = 0;
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
    if (over_pixel_limit(static_cast<uint64_t>(kept.source_width), static_cast<uint64_t>(kept.source_height),
                         limits.max_source_pixels) ||
        kept.image.pixels.empty()) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    // Kept no larger than the canvas needs, so this is at most a small reduction.
    result.image = reduce_image(kept.image, limits.max_side);
    return result;
}

namespace web {

DecodedPicture::DecodedPicture(const std::uint8_t* file, std::size_t size, int width, int height, int max_side)
    : file_(file, file + size), width_(width), height_(height) {
    if (width <= 0 || height <= 0 ||
        over_pixel_limit(static_cast<uint64_t>(width), static_cast<uint64_t>(height), kMaxPixels)) {
        height_ = 0;
        if (width > 0 && height > 0)
            remember_too_large(file, size, width, height);
        else
            remember_undecodable(file, size);
        file_.clear();
        return;
    }
    reducer_ =
        std::make_unique<BoxReducer>(width, height, reduced_side(width, max_side), reduced_side(height, max_side));
    rgb_.resize(static_cast<std::size_t>(width) * 3);
}

bool DecodedPicture::add_rows(int count, const std::uint8_t* rgba) {
    if (!reducer_ || count < 0 || count > rows_left()) return false;
    for (int i = 0; i < count; ++i, ++next_row_) {
        const std::uint8_t* src = rgba + static_cast<std::size_t>(i) * width_ * 4;
        for (int x = 0; x < width_; ++x) {
            rgb_[3 * static_cast<std::size_t>(x)] = src[4 * x];
            rgb_[3 * static_cast<std::size_t>(x) + 1] = src[4 * x + 1];
            rgb_[3 * static_cast<std::size_t>(x) + 2] = src[4 * x + 2];
        }
        reducer_->add_row(height_ - 1 - next_row_, rgb_.data());
    }
    if (rows_left() == 0) {
        remembered()[key_of(file_.data(), file_.size())] = Kept{width_, height_, reducer_->finish()};
        reducer_.reset();
    }
    return true;
}

void DecodedPicture::abandon() {
    if (!reducer_) return;
    reducer_.reset();
    remember_undecodable(file_.data(), file_.size());
}

void remember_undecodable(const std::uint8_t* file, std::size_t size) { remembered()[key_of(file, size)].reset(); }

void remember_too_large(const std::uint8_t* file, std::size_t size, int64_t width, int64_t height) {
    remembered()[key_of(file, size)] = Kept{width, height, {}};
}

std::size_t remembered_pictures() { return remembered().size(); }

}  // namespace web
}  // namespace orvex
