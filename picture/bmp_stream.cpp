#include "picture/bmp_stream.h"

#include <algorithm>
#include <array>

#include "base/byte_order.h"
#include "picture/bmp_format.h"
#include "picture/bmp_rle.h"

namespace orvex {

namespace {

constexpr std::size_t kBandBytes = 256 * 1024;  // of file rows per band

bool known_header(uint32_t size) {
    return size == kBmpCoreHeaderSize || size == kBmpInfoHeaderSize || size == 52 || size == 56 ||
           size == kBmpOs2HeaderSize || size == 108 || size == 124;
}

void put32(uint8_t* p, uint32_t v) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

bool is_rle(const BmpHeader& header) { return header.compression == kBiRle8 || header.compression == kBiRle4; }

// The input's bytes one at a time, read a band at a time, up to a limit.
class ByteStream final : public RleBytes {
public:
    ByteStream(PictureInput& input, uint64_t bytes) : input_(input), left_(bytes) {}
    bool next(uint8_t& out) override {
        if (at_ == have_) {
            const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(left_, kBandBytes));
            band_.resize(want);
            have_ = want == 0 ? 0 : input_.read(band_.data(), want);
            left_ -= have_;
            at_ = 0;
            if (have_ == 0) return false;
        }
        out = band_[at_++];
        return true;
    }

private:
    PictureInput& input_;
    uint64_t left_;
    std::vector<uint8_t> band_;
    std::size_t at_ = 0, have_ = 0;
};

// Unpacked pixels into the reduction; rows the stream leaves black cost
// nothing but their count.
class RleIntoReducer final : public RleRows {
public:
    RleIntoReducer(BoxReducer& reducer, const PictureLimits& limits) : reducer_(reducer), limits_(limits) {}
    void pixels(int64_t y, int64_t x, int count, const uint8_t* rgb) override {
        reducer_.add_span(static_cast<int>(y), x, count, rgb);
    }
    bool row_done(int64_t y) override {
        if (limits_.cancelled()) return false;
        reducer_.end_row(static_cast<int>(y));
        return true;
    }

private:
    BoxReducer& reducer_;
    const PictureLimits& limits_;
};

// RLE8 and RLE4, unpacked as their bytes are read, bottom row first.
const char* stream_rle(PictureInput& input, const BmpHeader& header, int64_t rows, const PictureLimits& limits,
                       BoxReducer& reducer) {
    const bool four = header.compression == kBiRle4;
    const char* damaged = header.rewritten ? kBmpUnknownFormat : kBmpConversionError;

    std::array<uint8_t, 256 * 3> palette{};  // RGB; entries the file lacks stay black
    const std::size_t palette_at = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    const std::size_t entries = std::min<std::size_t>((header.prefix.size() - palette_at) / 4, 256);
    for (std::size_t i = 0; i < entries; ++i)
        for (std::size_t c = 0; c < 3; ++c) palette[i * 3 + c] = header.prefix[palette_at + i * 4 + 2 - c];

    // No more than a stream of one-pixel runs could take.
    const uint64_t most = (static_cast<uint64_t>(header.width) * 2 + 4) * static_cast<uint64_t>(rows) + 2;
    if (!input.seek(header.data_at)) return damaged;
    ByteStream in(input, most);
    RleIntoReducer into(reducer, limits);
    switch (unpack_rle(in, four, header.width, rows, palette, into)) {
        case RleEnd::kDone: return nullptr;
        case RleEnd::kStopped: return kPictureCancelled;
        default: return damaged;
    }
}

}  // namespace

std::optional<BmpHeader> read_bmp_header(const uint8_t* head, std::size_t head_size, uint64_t file_size) {
    const bool file_header = head_size >= 2 && head[0] == 'B' && head[1] == 'M';
    const std::size_t info = file_header ? kBmpFileHeaderSize : 0;
    if (head_size < info + 4) return std::nullopt;
    const uint32_t size = le32(head + info);
    if (!known_header(size) || head_size - info < size) return std::nullopt;
    const uint8_t* h = head + info;
    BmpHeader out;
    out.core = size == kBmpCoreHeaderSize;
    out.rewritten = !out.core && size != kBmpInfoHeaderSize;
    if (out.core) {
        out.width = le16(h + 4);
        out.height = le16(h + 6);
        out.bits = le16(h + 10);
    } else {
        out.width = static_cast<int32_t>(le32(h + 4));
        out.height = static_cast<int32_t>(le32(h + 8));
        out.bits = le16(h + 14);
        out.compression = le32(h + 16);
    }
    // OS/2's 64-byte header numbers its own compressions from 3 on; only those
    // it shares with Windows are taken.
    if (size == kBmpOs2HeaderSize && out.compression > 2) return std::nullopt;

    // Masks live inside the larger Windows headers and after the 40-byte one.
    std::size_t mask_bytes = 0;
    if (!out.core && size != kBmpOs2HeaderSize && out.compression == kBiBitfields) mask_bytes = 12;
    if (!out.core && size != kBmpOs2HeaderSize && out.compression == kBiAlphaBitfields) mask_bytes = 16;
    const std::size_t masks_at = out.rewritten ? info + kBmpInfoHeaderSize : info + size;
    const std::size_t palette_at = out.rewritten ? info + size : masks_at + mask_bytes;
    if (head_size < palette_at) return std::nullopt;

    const bool paletted = bmp_paletted(out.bits);
    const uint64_t entry = out.core ? 3 : 4;
    const uint32_t colors_used = out.core ? 0 : le32(h + 32);
    const uint64_t listed = colors_used != 0 ? colors_used : paletted ? uint64_t{1} << out.bits : 0;
    out.data_at = file_header ? le32(head + 10) : palette_at + listed * entry;
    // The reader takes pixels that start among the masks or the palette (the
    // palette is then cut short); a rewritten header can't overlap them.
    if (out.data_at < (out.rewritten ? palette_at : masks_at) || out.data_at > file_size) return std::nullopt;
    const uint64_t palette_room = out.data_at > palette_at ? out.data_at - palette_at : 0;
    const uint64_t palette_bytes =
        paletted ? std::min(std::min<uint64_t>(listed, uint64_t{1} << out.bits) * entry, palette_room) : 0;
    if (head_size - palette_at < palette_bytes) return std::nullopt;

    const std::size_t info_size = out.core ? kBmpCoreHeaderSize : kBmpInfoHeaderSize;
    out.prefix.assign(kBmpFileHeaderSize + info_size + mask_bytes + palette_bytes, 0);
    uint8_t* p = out.prefix.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<uint32_t>(out.prefix.size()));
    put32(p + 10, static_cast<uint32_t>(out.prefix.size()));
    std::copy_n(h, info_size, p + kBmpFileHeaderSize);
    put32(p + kBmpFileHeaderSize, static_cast<uint32_t>(info_size));
    // A 52-byte header holds three masks; the alpha mask it lacks stays 0.
    const std::size_t masks_held =
        out.rewritten ? std::min<std::size_t>(mask_bytes, size - kBmpInfoHeaderSize) : mask_bytes;
    std::copy_n(head + masks_at, masks_held, p + kBmpFileHeaderSize + info_size);
    std::copy_n(head + palette_at, palette_bytes, p + kBmpFileHeaderSize + info_size + mask_bytes);
    if (!out.core && paletted) put32(p + kBmpFileHeaderSize + 32, static_cast<uint32_t>(palette_bytes / entry));
    return out;
}

bool bmp_streams(const BmpHeader& header) {
    return header.compression == kBiRgb || header.compression == kBiBitfields ||
           header.compression == kBiAlphaBitfields || is_rle(header);
}

BmpStreamResult stream_bmp(PictureInput& input, const BmpHeader& header, const PictureLimits& limits) {
    BmpStreamResult result;
    const char* damaged = header.rewritten ? kBmpUnknownFormat : kBmpConversionError;
    result.failure = damaged;
    // Everything the header promises is checked before anything is sized by
    // it: the depth against the compression, the pixel limit, and for rows
    // stored as they are, that the file holds them all.
    const int64_t rows = header.height < 0 ? -header.height : header.height;
    if (header.width <= 0 || rows == 0) return result;
    if (bmp_mask_bytes(header.bits, header.compression, header.height) < 0) return result;
    if (rows > INT32_MAX || header.width * rows > limits.max_source_pixels) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    const int w = static_cast<int>(header.width), h = static_cast<int>(rows);
    if (is_rle(header)) {
        BoxReducer reducer(w, h, reduced_side(w, limits.max_side), reduced_side(h, limits.max_side));
        result.failure = stream_rle(input, header, rows, limits, reducer);
        if (result.failure == nullptr) result.image = reducer.finish();
        return result;
    }
    const uint64_t stride = bmp_row_stride(static_cast<uint64_t>(header.width), header.bits);
    const uint64_t data_bytes =
        stride * static_cast<uint64_t>(rows - 1) + bmp_last_row_bytes(static_cast<uint64_t>(header.width), header.bits);
    if (header.data_at > input.size() || data_bytes > input.size() - header.data_at) return result;
    const int64_t band_rows =
        std::clamp<int64_t>(static_cast<int64_t>(kBandBytes / std::max<uint64_t>(stride, 1)), 1, rows);
    BoxReducer reducer(w, h, reduced_side(w, limits.max_side), reduced_side(h, limits.max_side));

    std::vector<uint8_t> band(header.prefix);
    const std::size_t height_at = kBmpFileHeaderSize + (header.core ? 6 : 8);
    for (int64_t first = 0; first < rows; first += band_rows) {
        if (limits.cancelled()) {
            result.failure = kPictureCancelled;
            return result;
        }
        const int64_t n = std::min(band_rows, rows - first);
        band.resize(header.prefix.size() + static_cast<std::size_t>(stride * static_cast<uint64_t>(n)));
        if (!input.seek(header.data_at + stride * static_cast<uint64_t>(first))) return result;
        const std::size_t got = input.read(band.data() + header.prefix.size(), band.size() - header.prefix.size());
        band.resize(header.prefix.size() + got);
        if (header.core) {
            band[height_at] = static_cast<uint8_t>(n);
            band[height_at + 1] = static_cast<uint8_t>(n >> 8);
        } else {
            put32(band.data() + height_at, static_cast<uint32_t>(static_cast<int32_t>(header.height < 0 ? -n : n)));
        }
        RecordingMessageSink said;
        const std::optional<RgbImage> part =
            auxDIBImageLoadA(band.data(), band.size(), "", said, limits.max_source_pixels);
        if (!part) {
            if (!said.messages.empty() && said.messages[0].text == kBmpOutOfMemory) result.failure = kBmpOutOfMemory;
            return result;
        }
        // The band comes bottom row first; rows go to the reduction in one
        // direction, bottom up for a bottom-up file, top down for the other.
        const std::size_t row_bytes = static_cast<std::size_t>(w) * 3;
        for (int64_t i = 0; i < n; ++i) {
            const int64_t k = header.height < 0 ? n - 1 - i : i;
            const int64_t y = header.height < 0 ? rows - first - n + k : first + k;
            reducer.add_row(static_cast<int>(y), &part->pixels[static_cast<std::size_t>(k) * row_bytes]);
        }
    }
    result.image = reducer.finish();
    result.failure = nullptr;
    return result;
}

}  // namespace orvex
