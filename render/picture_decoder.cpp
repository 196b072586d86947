#include "render/picture_decoder.h"

#include <algorithm>
#include <fstream>
#include <new>
#include <system_error>
#include <utility>

#include "render/picture_codecs.h"

namespace orvex {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kOs2HeaderSize = 64;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

uint32_t u32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
void put32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) out[at + static_cast<std::size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
}

bool known_long_header(uint32_t size) {
    return size == 52 || size == 56 || size == kOs2HeaderSize || size == 108 || size == 124;
}

// A photo saved as a plain 24-bit BMP (40-byte header, no compression) that
// must be reduced is read row by row into the reduction, so that neither the
// file nor the whole picture is ever held: the result is the one the BMP
// reader's picture reduced would give. Nothing when the file is of another
// kind, needs no reduction, or is short: it then goes the usual way.
std::optional<RgbImage> stream_plain_bmp(std::ifstream& file, uint64_t size, const PictureLimits& limits) {
    uint8_t h[kFileHeaderSize + kInfoHeaderSize];
    if (size < sizeof h || !file.read(reinterpret_cast<char*>(h), sizeof h)) return std::nullopt;
    const uint8_t* info = h + kFileHeaderSize;
    const int64_t width = static_cast<int32_t>(u32(info + 4));
    const int64_t height = static_cast<int32_t>(u32(info + 8));
    const uint32_t bits = static_cast<uint32_t>(info[14] | info[15] << 8);
    const int64_t rows = height < 0 ? -height : height;
    const uint64_t offset = u32(h + 10);
    if (h[0] != 'B' || h[1] != 'M' || u32(info) != kInfoHeaderSize || bits != 24 || u32(info + 16) != 0 || width <= 0 ||
        height == 0 || rows > INT32_MAX || width * rows > limits.max_source_pixels || offset < sizeof h ||
        offset > size)
        return std::nullopt;
    const int w = reduced_side(static_cast<int>(width), limits.max_side);
    const int hh = reduced_side(static_cast<int>(rows), limits.max_side);
    if (w == width && hh == rows) return std::nullopt;
    const uint64_t stride = (static_cast<uint64_t>(width) * 24 + 31) / 32 * 4;
    const uint64_t last = static_cast<uint64_t>(width) * 3;
    if (stride * static_cast<uint64_t>(rows - 1) + last > size - offset) return std::nullopt;

    BoxReducer reducer(static_cast<int>(width), static_cast<int>(rows), w, hh);
    std::vector<uint8_t> row(static_cast<std::size_t>(stride));
    file.seekg(static_cast<std::streamoff>(offset));
    for (int64_t r = 0; r < rows; ++r) {
        if (!file.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(last))) return std::nullopt;
        if (r + 1 < rows) file.ignore(static_cast<std::streamsize>(stride - last));
        for (std::size_t x = 0; x < last; x += 3) std::swap(row[x], row[x + 2]);  // BGR to RGB
        reducer.add_row(static_cast<int>(height < 0 ? rows - 1 - r : r), row.data());
    }
    return reducer.finish();
}

}  // namespace

std::optional<std::vector<uint8_t>> bmp_with_short_header(const uint8_t* data, std::size_t size) {
    const bool file_header = size >= 2 && data[0] == 'B' && data[1] == 'M';
    const std::size_t info = file_header ? kFileHeaderSize : 0;
    if (size < info + 4) return std::nullopt;
    const uint32_t header_size = u32(data + info);
    if (!known_long_header(header_size) || size - info < header_size) return std::nullopt;
    const uint8_t* h = data + info;
    const uint32_t bits = static_cast<uint32_t>(h[14] | h[15] << 8);
    const uint32_t compression = u32(h + 16);
    // OS/2's 64-byte header numbers its own compressions from 3 on; only those
    // it shares with Windows are taken.
    if (header_size == kOs2HeaderSize && compression > 2) return std::nullopt;

    // Masks live inside the larger Windows headers; the short header wants them after itself.
    std::size_t mask_bytes = 0;
    if (header_size != kOs2HeaderSize && compression == kBiBitfields) mask_bytes = 12;
    if (header_size != kOs2HeaderSize && compression == kBiAlphaBitfields) mask_bytes = 16;
    std::vector<uint8_t> masks(mask_bytes, 0);
    std::copy_n(h + kInfoHeaderSize, std::min<std::size_t>(mask_bytes, header_size - kInfoHeaderSize), masks.begin());

    const std::size_t palette_at = info + header_size;
    const bool paletted = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    std::size_t palette_entries = 0;
    if (paletted) palette_entries = std::min<std::size_t>(u32(h + 32) == 0 ? 1u << bits : u32(h + 32), 1u << bits);
    std::size_t data_at = palette_at + palette_entries * 4;
    if (file_header) {
        data_at = u32(data + 10);
        if (data_at < palette_at) return std::nullopt;
    }
    if (data_at > size) return std::nullopt;
    const std::size_t palette_bytes = std::min(palette_entries * 4, data_at > palette_at ? data_at - palette_at : 0);

    const std::size_t new_data_at = kFileHeaderSize + kInfoHeaderSize + mask_bytes + palette_bytes;
    std::vector<uint8_t> out(new_data_at + (size - data_at));
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(std::min<std::size_t>(out.size(), UINT32_MAX)));
    put32(out, 10, static_cast<uint32_t>(new_data_at));
    std::copy_n(h, kInfoHeaderSize, out.begin() + kFileHeaderSize);
    put32(out, kFileHeaderSize, kInfoHeaderSize);
    if (palette_entries * 4 > palette_bytes) put32(out, kFileHeaderSize + 32, static_cast<uint32_t>(palette_bytes / 4));
    std::copy(masks.begin(), masks.end(), out.begin() + kFileHeaderSize + kInfoHeaderSize);
    std::copy_n(data + palette_at, palette_bytes,
                out.begin() + static_cast<std::ptrdiff_t>(new_data_at - palette_bytes));
    std::copy(data + data_at, data + size, out.begin() + static_cast<std::ptrdiff_t>(new_data_at));
    return out;
}

std::optional<RgbImage> decode_picture(const uint8_t* data, std::size_t size, const std::string& file_name,
                                       MessageSink& sink, const PictureLimits& limits) {
    if (data == nullptr || size == 0) return auxDIBImageLoadA(data, size, file_name, sink, limits.max_source_pixels);
    try {
        RecordingMessageSink bmp_messages;
        std::optional<RgbImage> image = auxDIBImageLoadA(data, size, file_name, bmp_messages, limits.max_source_pixels);
        if (image) return reduce_image(std::move(*image), limits.max_side);
        const std::string bmp_why = bmp_messages.messages.empty() ? kBmpConversionError : bmp_messages.messages[0].text;

        if (std::optional<std::vector<uint8_t>> rewritten = bmp_with_short_header(data, size)) {
            RecordingMessageSink long_messages;
            image = auxDIBImageLoadA(rewritten->data(), rewritten->size(), file_name, long_messages,
                                     limits.max_source_pixels);
            if (image) return reduce_image(std::move(*image), limits.max_side);
        }
        CodecResult platform = decode_with_platform(data, size, limits);
        if (platform.image) return std::move(platform.image);
        sink.show(kBmpErrorCaption, file_name + ": " + (platform.failure ? platform.failure : bmp_why.c_str()));
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        sink.show(kBmpErrorCaption, file_name + ": " + kBmpOutOfMemory);
    }
    return std::nullopt;
}

std::optional<RgbImage> LoadPicture(const std::filesystem::path& file_name, MessageSink& sink,
                                    const PictureLimits& limits) {
    if (file_name.empty()) return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file_name, ec)) return std::nullopt;
    std::ifstream file(file_name, std::ios::binary);
    if (!file) return std::nullopt;

    // Messages are UTF-8 on every platform (the Windows host shows them through
    // the wide calls), so the name comes from the path, not in the held encoding.
    const std::string shown = file_name.filename().u8string();
    std::vector<uint8_t> bytes;
    try {
        file.seekg(0, std::ios::end);
        const std::streamoff length = file.tellg();
        file.seekg(0, std::ios::beg);
        if (length < 0 || !file) {
            sink.show(kBmpErrorCaption, bmp_open_failure_message(shown));
            return std::nullopt;
        }
        if (std::optional<RgbImage> streamed = stream_plain_bmp(file, static_cast<uint64_t>(length), limits))
            return streamed;
        file.clear();
        file.seekg(0, std::ios::beg);
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        sink.show(kBmpErrorCaption, shown + ": " + kBmpOutOfMemory);
        return std::nullopt;
    }
    if (!bytes.empty() &&
        !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        sink.show(kBmpErrorCaption, bmp_open_failure_message(shown));
        return std::nullopt;
    }
    return decode_picture(bytes.data(), bytes.size(), shown, sink, limits);
}

}  // namespace orvex
