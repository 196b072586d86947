#include "render/picture_reduce.h"

#include <algorithm>
#include <utility>

#include "base/byte_order.h"

namespace orvex {

const char* const kPictureCancelled = "Cancelled.";

int reduced_side(int side, int max_side) { return max_side > 0 && side > max_side ? max_side : side; }

int texture_side_for_window(int width, int height, int max_texture_size) {
    const int larger = std::max({width, height, 1});
    int side = 1;
    while (side < larger && side < (1 << 30)) side *= 2;
    return max_texture_size > 0 ? std::min(side, max_texture_size) : side;
}

BoxReducer::BoxReducer(int src_width, int src_height, int dst_width, int dst_height)
    : src_w_(src_width),
      src_h_(src_height),
      dst_w_(dst_width),
      dst_h_(dst_height),
      column_(static_cast<std::size_t>(src_width)),
      col_count_(static_cast<std::size_t>(dst_width)),
      sums_(static_cast<std::size_t>(dst_width) * 3) {
    for (int x = 0; x < src_w_; ++x) {
        column_[static_cast<std::size_t>(x)] = static_cast<int>(int64_t{x} * dst_w_ / src_w_);
        ++col_count_[static_cast<std::size_t>(column_[static_cast<std::size_t>(x)])];
    }
    out_.width = dst_w_;
    out_.height = dst_h_;
    out_.pixels.assign(static_cast<std::size_t>(dst_w_) * static_cast<std::size_t>(dst_h_) * 3, 0);
}

void BoxReducer::add_row(int y, const uint8_t* rgb) {
    const int row = static_cast<int>(int64_t{y} * dst_h_ / src_h_);
    if (row != row_) flush();
    row_ = row;
    ++rows_in_;
    for (int x = 0; x < src_w_; ++x) {
        uint64_t* s = &sums_[static_cast<std::size_t>(column_[static_cast<std::size_t>(x)]) * 3];
        s[0] += rgb[x * 3];
        s[1] += rgb[x * 3 + 1];
        s[2] += rgb[x * 3 + 2];
    }
}

void BoxReducer::flush() {
    if (row_ < 0 || rows_in_ == 0) return;
    uint8_t* dst = &out_.pixels[static_cast<std::size_t>(row_) * static_cast<std::size_t>(dst_w_) * 3];
    for (std::size_t x = 0; x < static_cast<std::size_t>(dst_w_); ++x) {
        const uint64_t n = col_count_[x] * rows_in_;
        for (std::size_t c = 0; c < 3; ++c) {
            dst[x * 3 + c] = static_cast<uint8_t>(n == 0 ? 0 : (sums_[x * 3 + c] + n / 2) / n);
            sums_[x * 3 + c] = 0;
        }
    }
    rows_in_ = 0;
}

RgbImage BoxReducer::finish() {
    flush();
    row_ = -1;
    return std::move(out_);
}

RgbImage reduce_image(RgbImage image, int max_side) {
    const int w = reduced_side(image.width, max_side);
    const int h = reduced_side(image.height, max_side);
    if (w == image.width && h == image.height) return image;
    BoxReducer reducer(image.width, image.height, w, h);
    for (int y = 0; y < image.height; ++y)
        reducer.add_row(y, &image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3]);
    return reducer.finish();
}

RgbImage apply_orientation(RgbImage image, int orientation) {
    if (orientation < 2 || orientation > 8) return image;
    const int w = image.width, h = image.height;
    const bool swap = orientation >= 5;
    RgbImage out;
    out.width = swap ? h : w;
    out.height = swap ? w : h;
    out.pixels.resize(image.pixels.size());
    // Coordinates from the top left; rows are stored bottom row first.
    for (int dy = 0; dy < out.height; ++dy)
        for (int dx = 0; dx < out.width; ++dx) {
            int sx = dx, sy = dy;
            switch (orientation) {
                case 2: sx = w - 1 - dx; break;
                case 3: sx = w - 1 - dx, sy = h - 1 - dy; break;
                case 4: sy = h - 1 - dy; break;
                case 5: sx = dy, sy = dx; break;
                case 6: sx = dy, sy = h - 1 - dx; break;
                case 7: sx = w - 1 - dy, sy = h - 1 - dx; break;
                default: sx = w - 1 - dy, sy = dx; break;  // 8
            }
            const std::size_t from = (static_cast<std::size_t>(h - 1 - sy) * w + sx) * 3;
            const std::size_t to = (static_cast<std::size_t>(out.height - 1 - dy) * out.width + dx) * 3;
            std::copy_n(&image.pixels[from], 3, &out.pixels[to]);
        }
    return out;
}

int exif_orientation(const uint8_t* data, std::size_t size) {
    constexpr std::size_t kTiff = 6;  // after "Exif\0\0"
    if (size < kTiff + 8 || !std::equal(data, data + kTiff, "Exif\0\0")) return 1;
    const uint8_t* t = data + kTiff;
    const std::size_t n = size - kTiff;
    const bool little = t[0] == 'I' && t[1] == 'I';
    if (!little && !(t[0] == 'M' && t[1] == 'M')) return 1;
    auto u16 = [&](std::size_t at) { return little ? le16(t + at) : be16(t + at); };
    auto u32 = [&](std::size_t at) { return little ? le32(t + at) : be32(t + at); };
    const uint32_t ifd = u32(4);
    if (ifd > n || n - ifd < 2) return 1;
    const std::size_t entries = static_cast<std::size_t>(u16(ifd));
    for (std::size_t k = 0; k < entries; ++k) {
        const std::size_t at = ifd + 2 + k * 12;
        if (at + 12 > n) return 1;
        if (u16(at) == 0x0112 && u16(at + 2) == 3) {  // Orientation, a SHORT
            const int value = u16(at + 8);
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

int jpeg_file_orientation(const uint8_t* data, std::size_t size) {
    std::size_t at = 2;  // after the start-of-image marker
    while (at + 4 <= size && data[at] == 0xFF) {
        const uint8_t marker = data[at + 1];
        const std::size_t length = be16(data + at + 2);
        if (marker == 0xDA || length < 2 || length > size - at - 2) break;  // the pixels start, or damage
        if (marker == 0xE1) {
            const int found = exif_orientation(data + at + 4, length - 2);
            if (found != 1) return found;
        }
        at += 2 + length;
    }
    return 1;
}

}  // namespace orvex
