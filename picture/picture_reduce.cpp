#include "picture/picture_reduce.h"

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
      first_col_(static_cast<std::size_t>(dst_width) + 1),
      sums_(static_cast<std::size_t>(dst_width) * 3) {
    // Source column x falls on result column x * dst / src: result column d
    // starts at the first x with x * dst >= d * src.
    for (int d = 0; d <= dst_w_; ++d)
        first_col_[static_cast<std::size_t>(d)] =
            static_cast<int>((int64_t{d} * src_w_ + dst_w_ - 1) / std::max(dst_w_, 1));
    out_.width = dst_w_;
    out_.height = dst_h_;
    out_.pixels.assign(static_cast<std::size_t>(dst_w_) * static_cast<std::size_t>(dst_h_) * 3, 0);
}

uint32_t BoxReducer::col_count(std::size_t d) const { return static_cast<uint32_t>(first_col_[d + 1] - first_col_[d]); }

void BoxReducer::to_row(int y) {
    const int row = static_cast<int>(int64_t{y} * dst_h_ / src_h_);
    if (row != row_) flush();
    row_ = row;
}

void BoxReducer::add_row(int y, const uint8_t* rgb) {
    to_row(y);
    ++rows_in_;
    for (std::size_t d = 0; d < static_cast<std::size_t>(dst_w_); ++d) {
        uint64_t* s = &sums_[d * 3];
        for (int x = first_col_[d]; x < first_col_[d + 1]; ++x) {
            s[0] += rgb[x * 3];
            s[1] += rgb[x * 3 + 1];
            s[2] += rgb[x * 3 + 2];
        }
    }
}

void BoxReducer::add_span(int y, int64_t x0, int count, const uint8_t* rgb) {
    to_row(y);
    for (int i = 0; i < count && x0 + i < src_w_; ++i) {
        uint64_t* s = &sums_[static_cast<std::size_t>((x0 + i) * dst_w_ / src_w_) * 3];
        s[0] += rgb[i * 3];
        s[1] += rgb[i * 3 + 1];
        s[2] += rgb[i * 3 + 2];
    }
}

void BoxReducer::end_row(int y) {
    to_row(y);
    ++rows_in_;
}

void BoxReducer::flush() {
    if (row_ < 0 || rows_in_ == 0) return;
    uint8_t* dst = &out_.pixels[static_cast<std::size_t>(row_) * static_cast<std::size_t>(dst_w_) * 3];
    for (std::size_t x = 0; x < static_cast<std::size_t>(dst_w_); ++x) {
        const uint64_t n = col_count(x) * rows_in_;
        for (std::size_t c = 0; c < 3; ++c) {
            dst[x * 3 + c] = static_cast<uint8_t>(n == 0 ? 0 : (sums_[x * 3 + c] + n / 2) / n);
            sums_[x * 3 + c] = 0;
        }
    }
    rows_in_ = 0;
}

void BoxReducer::start_grid() {
    row_count_.assign(static_cast<std::size_t>(dst_h_), 0);
    for (int y = 0; y < src_h_; ++y) ++row_count_[static_cast<std::size_t>(int64_t{y} * dst_h_ / src_h_)];
    uint64_t widest = 0;
    for (std::size_t d = 0; d < static_cast<std::size_t>(dst_w_); ++d)
        widest = std::max<uint64_t>(widest, col_count(d));
    const uint64_t box = widest * *std::max_element(row_count_.begin(), row_count_.end());
    const std::size_t n = out_.pixels.size();
    if (box <= 1) {
        grid_bits_ = 8;
    } else if (box * 255 <= UINT16_MAX) {
        grid_bits_ = 16;
        grid16_.assign(n, 0);
    } else if (box * 255 <= UINT32_MAX) {
        grid_bits_ = 32;
        grid32_.assign(n, 0);
    } else {
        grid_bits_ = 64;
        grid64_.assign(n, 0);
    }
}

template <class Sum>
void BoxReducer::add_to(std::vector<Sum>& sums, int y, int x0, int step, int count, const uint8_t* rgb) {
    const std::size_t row = static_cast<std::size_t>(int64_t{y} * dst_h_ / src_h_);
    Sum* sum = &sums[row * static_cast<std::size_t>(dst_w_) * 3];
    for (int i = 0, x = x0; i < count; ++i, x += step) {
        Sum* s = sum + static_cast<std::size_t>(int64_t{x} * dst_w_ / src_w_) * 3;
        s[0] = static_cast<Sum>(s[0] + rgb[i * 3]);
        s[1] = static_cast<Sum>(s[1] + rgb[i * 3 + 1]);
        s[2] = static_cast<Sum>(s[2] + rgb[i * 3 + 2]);
    }
}

void BoxReducer::add_pixels(int y, int x0, int step, int count, const uint8_t* rgb) {
    if (grid_bits_ == 0) start_grid();
    switch (grid_bits_) {
        case 8: add_to(out_.pixels, y, x0, step, count, rgb); break;
        case 16: add_to(grid16_, y, x0, step, count, rgb); break;
        case 32: add_to(grid32_, y, x0, step, count, rgb); break;
        default: add_to(grid64_, y, x0, step, count, rgb); break;
    }
}

template <class Sum>
void BoxReducer::settle(std::vector<Sum>& sums) {
    for (std::size_t r = 0; r < static_cast<std::size_t>(dst_h_); ++r)
        for (std::size_t x = 0; x < static_cast<std::size_t>(dst_w_); ++x) {
            const uint64_t n = uint64_t{col_count(x)} * row_count_[r];
            const std::size_t at = (r * static_cast<std::size_t>(dst_w_) + x) * 3;
            for (std::size_t c = 0; c < 3; ++c)
                out_.pixels[at + c] = static_cast<uint8_t>(n == 0 ? 0 : (sums[at + c] + n / 2) / n);
        }
    std::vector<Sum>().swap(sums);
}

RgbImage BoxReducer::finish() {
    switch (grid_bits_) {
        case 0: flush(); break;
        case 16: settle(grid16_); break;
        case 32: settle(grid32_); break;
        case 64: settle(grid64_); break;
        default: break;  // the pixels went straight into the result
    }
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
