#include "picture/bmp_reader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <new>
#include <system_error>

#include "base/byte_order.h"
#include "picture/bmp_format.h"
#include "picture/bmp_rle.h"

namespace orvex {

const char* const kBmpErrorCaption = "Error";
const char* const kBmpUnknownFormat = "Unknown DIB file format.";
const char* const kBmpConversionError = "Image file conversion error.";
const char* const kBmpOutOfMemory = "Out of memory.";

std::string bmp_open_failure_message(const std::string& file_name) {
    return "Failed to open DIB file " + file_name + ".\n";
}

namespace {

// Thrown inside the reader, turned into the one message of a failed call.
struct DibFailure {
    const char* message;
};

[[noreturn]] void fail(const char* message) { throw DibFailure{message}; }

// Little-endian access to the file's bytes; callers check has() first.
struct Bytes {
    const uint8_t* data;
    uint64_t size;

    bool has(uint64_t offset, uint64_t length) const { return offset <= size && length <= size - offset; }
    uint16_t u16(uint64_t at) const { return le16(data + at); }
    uint32_t u32(uint64_t at) const { return le32(data + at); }
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// Palette entries the file really holds; indices beyond them read as black.
struct Palette {
    std::array<Rgb, 256> entries{};
    uint32_t count = 0;

    Rgb operator[](uint32_t index) const { return index < count ? entries[index] : Rgb{}; }
};

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
class Channel {
public:
    explicit Channel(uint32_t mask) {
        if (mask == 0) return;
        while (((mask >> shift_) & 1u) == 0) ++shift_;
        max_ = mask >> shift_;
    }
    uint8_t operator()(uint32_t pixel) const {
        if (max_ == 0) return 0;
        const uint64_t v = (pixel >> shift_) & max_;
        return static_cast<uint8_t>((v * 255 + max_ / 2) / max_);
    }

private:
    int shift_ = 0;
    uint32_t max_ = 0;
};

struct Header {
    bool core = false;  // 12-byte header: 3-byte palette entries, no compression
    int64_t width = 0;
    int64_t height = 0;  // negative: rows stored top row first
    uint32_t bits = 0;
    uint32_t compression = kBiRgb;
    uint32_t colors_used = 0;
};

Header read_header(const Bytes& in, uint64_t at, uint32_t header_size) {
    if (!in.has(at, header_size)) fail(kBmpConversionError);
    Header h;
    if (header_size == kBmpCoreHeaderSize) {
        h.core = true;
        h.width = in.u16(at + 4);
        h.height = in.u16(at + 6);
        h.bits = in.u16(at + 10);
    } else {
        h.width = static_cast<int32_t>(in.u32(at + 4));
        h.height = static_cast<int32_t>(in.u32(at + 8));
        h.bits = in.u16(at + 14);
        h.compression = in.u32(at + 16);
        h.colors_used = in.u32(at + 32);
    }
    return h;
}

// Checks depth against compression; gives the number of bytes of colour masks
// that follow the info header.
uint64_t check_encoding(const Header& h) {
    const int masks = bmp_mask_bytes(h.bits, h.compression, h.height);
    if (masks < 0) fail(kBmpConversionError);
    return static_cast<uint64_t>(masks);
}

class Image {
public:
    Image(int64_t width, int64_t rows) : width_(width), pixels_(static_cast<std::size_t>(width * rows * 3)) {}

    void set(int64_t row, int64_t x, Rgb c) {
        uint8_t* p = &pixels_[static_cast<std::size_t>((row * width_ + x) * 3)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    std::vector<uint8_t>& pixels() { return pixels_; }

private:
    int64_t width_;
    std::vector<uint8_t> pixels_;
};

uint64_t row_stride(const Header& h) { return bmp_row_stride(static_cast<uint64_t>(h.width), h.bits); }

bool plain_pixels_fit(const Bytes& in, uint64_t start, const Header& h, int64_t rows) {
    const uint64_t last_row = bmp_last_row_bytes(static_cast<uint64_t>(h.width), h.bits);
    return in.has(start, row_stride(h) * static_cast<uint64_t>(rows - 1) + last_row);
}

void decode_plain(const Bytes& in, uint64_t start, const Header& h, const Palette& palette,
                  const std::array<Channel, 3>& channels, Image& image) {
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    const uint64_t stride = row_stride(h);
    for (int64_t r = 0; r < rows; ++r) {
        const uint8_t* src = in.data + start + stride * static_cast<uint64_t>(r);
        const int64_t row = h.height < 0 ? rows - 1 - r : r;
        for (int64_t x = 0; x < h.width; ++x) {
            Rgb c;
            switch (h.bits) {
                case 24: c = Rgb{src[x * 3 + 2], src[x * 3 + 1], src[x * 3]}; break;
                case 16:
                case 32: {
                    const uint32_t px = h.bits == 16 ? le16(src + x * 2) : le32(src + x * 4);
                    c = Rgb{channels[0](px), channels[1](px), channels[2](px)};
                    break;
                }
                default: {
                    const uint64_t bit = static_cast<uint64_t>(x) * h.bits;
                    const uint32_t shift = 8 - h.bits - bit % 8;
                    c = palette[(src[bit / 8] >> shift) & ((1u << h.bits) - 1)];
                    break;
                }
            }
            image.set(row, x, c);
        }
    }
}

// The file's bytes from the start of an RLE stream.
class RleFromMemory final : public RleBytes {
public:
    RleFromMemory(const Bytes& in, uint64_t pos) : in_(in), pos_(pos) {}
    bool next(uint8_t& out) override {
        if (!in_.has(pos_, 1)) return false;
        out = in_.data[pos_++];
        return true;
    }

private:
    const Bytes& in_;
    uint64_t pos_;
};

// Unpacked pixels straight into the picture, which starts black.
class RleIntoImage final : public RleRows {
public:
    RleIntoImage(Image& image, int64_t width) : image_(image), width_(width) {}
    void pixels(int64_t y, int64_t x, int count, const uint8_t* rgb) override {
        std::copy_n(rgb, static_cast<std::size_t>(count) * 3,
                    &image_.pixels()[static_cast<std::size_t>((y * width_ + x) * 3)]);
    }
    bool row_done(int64_t) override { return true; }

private:
    Image& image_;
    int64_t width_;
};

void decode_rle(const Bytes& in, uint64_t pos, const Header& h, const Palette& palette, Image& image) {
    std::array<uint8_t, 256 * 3> rgb{};
    for (uint32_t i = 0; i < palette.count; ++i) {
        rgb[i * 3] = palette.entries[i].r;
        rgb[i * 3 + 1] = palette.entries[i].g;
        rgb[i * 3 + 2] = palette.entries[i].b;
    }
    RleFromMemory bytes(in, pos);
    RleIntoImage into(image, h.width);
    if (unpack_rle(bytes, h.compression == kBiRle4, h.width, h.height, rgb, into) != RleEnd::kDone)
        fail(kBmpConversionError);
}

RgbImage decode(const Bytes& in, int64_t max_pixels) {
    uint64_t info = 0;
    bool file_header = false;
    uint64_t pixel_offset = 0;
    if (in.size >= 2 && in.data[0] == 'B' && in.data[1] == 'M') {
        if (!in.has(0, kBmpFileHeaderSize + 4)) fail(kBmpUnknownFormat);
        file_header = true;
        pixel_offset = in.u32(10);
        info = kBmpFileHeaderSize;
    } else if (!in.has(0, 4)) {
        fail(kBmpUnknownFormat);
    }

    const uint32_t header_size = in.u32(info);
    if (header_size != kBmpCoreHeaderSize && header_size != kBmpInfoHeaderSize) fail(kBmpUnknownFormat);
    const Header h = read_header(in, info, header_size);
    if (h.width <= 0 || h.height == 0) fail(kBmpConversionError);
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (rows > INT32_MAX || h.width * rows > max_pixels) fail(kBmpOutOfMemory);
    const uint64_t mask_bytes = check_encoding(h);

    const uint64_t masks_at = info + header_size;
    if (!in.has(masks_at, mask_bytes)) fail(kBmpConversionError);
    const uint64_t palette_at = masks_at + mask_bytes;
    const uint64_t entry_size = h.core ? 3 : 4;
    uint64_t palette_length = h.colors_used;
    if (h.core || palette_length == 0) palette_length = bmp_paletted(h.bits) ? uint64_t{1} << h.bits : 0;

    uint64_t data_at = palette_at + palette_length * entry_size;
    if (file_header) {
        if (pixel_offset < masks_at) fail(kBmpConversionError);
        data_at = pixel_offset;
    }
    if (data_at > in.size) fail(kBmpConversionError);

    Palette palette;
    if (bmp_paletted(h.bits)) {
        const uint64_t room = data_at > palette_at ? (data_at - palette_at) / entry_size : 0;
        palette.count = static_cast<uint32_t>(std::min({palette_length, uint64_t{1} << h.bits, room}));
        for (uint32_t i = 0; i < palette.count; ++i) {
            const uint8_t* e = in.data + palette_at + i * entry_size;
            palette.entries[i] = Rgb{e[2], e[1], e[0]};
        }
    }

    std::array<uint32_t, 3> masks{0xFF0000u, 0x00FF00u, 0x0000FFu};
    if (h.bits == 16) masks = {0x7C00u, 0x03E0u, 0x001Fu};
    if (mask_bytes > 0) masks = {in.u32(masks_at), in.u32(masks_at + 4), in.u32(masks_at + 8)};
    const std::array<Channel, 3> channels{Channel(masks[0]), Channel(masks[1]), Channel(masks[2])};

    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    if (!rle && !plain_pixels_fit(in, data_at, h, rows)) fail(kBmpConversionError);

    Image image(h.width, rows);
    if (rle) {
        decode_rle(in, data_at, h, palette, image);
    } else {
        decode_plain(in, data_at, h, palette, channels, image);
    }
    RgbImage result;
    result.width = static_cast<int32_t>(h.width);
    result.height = static_cast<int32_t>(rows);
    result.pixels = std::move(image.pixels());
    return result;
}

}  // namespace

std::optional<RgbImage> auxDIBImageLoadA(const uint8_t* data, std::size_t size, const std::string& file_name,
                                         MessageSink& sink, int64_t max_pixels) {
    if (data == nullptr || size == 0) {
        sink.show(kBmpErrorCaption, bmp_open_failure_message(file_name));
        return std::nullopt;
    }
    try {
        return decode(Bytes{data, size}, max_pixels);
    } catch (const DibFailure& failure) {
        sink.show(kBmpErrorCaption, failure.message);
    } catch (const std::bad_alloc&) {
        sink.show(kBmpErrorCaption, kBmpOutOfMemory);
    }
    return std::nullopt;
}

std::optional<RgbImage> LoadBMP(const std::filesystem::path& file_name, MessageSink& sink) {
    if (file_name.empty()) return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file_name, ec)) return std::nullopt;
    std::ifstream file(file_name, std::ios::binary);
    if (!file) return std::nullopt;

    const std::string shown = file_name.u8string();
    std::vector<uint8_t> bytes;
    try {
        file.seekg(0, std::ios::end);
        const std::streamoff length = file.tellg();
        file.seekg(0, std::ios::beg);
        if (length < 0 || !file) {
            sink.show(kBmpErrorCaption, bmp_open_failure_message(shown));
            return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        sink.show(kBmpErrorCaption, kBmpOutOfMemory);
        return std::nullopt;
    }
    if (!bytes.empty() &&
        !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        sink.show(kBmpErrorCaption, bmp_open_failure_message(shown));
        return std::nullopt;
    }
    return auxDIBImageLoadA(bytes.data(), bytes.size(), shown, sink);
}

}  // namespace orvex
