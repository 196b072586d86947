// BMPs read a band of rows at a time. The header is read first and rewritten
// into the short form the BMP reader (picture/bmp_reader.h) knows: the 40-byte
// info header for the larger Windows ones (52, 56, 108 and 124 bytes, their
// colour masks placed after it) and OS/2's 64-byte one; the 12- and 40-byte
// ones as they are. An uncompressed picture is then read band by band, each
// band handed to the reader as a small BMP of its own and its rows into the
// reduction; an RLE one is unpacked here a row at a time as its bytes are
// read. So neither the file nor the whole picture is ever held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/bmp_reader.h"
#include "picture/picture_input.h"
#include "picture/picture_reduce.h"

namespace orvex {

// A file header, an info header and a palette take at most this many bytes.
constexpr std::size_t kBmpHeadBytes = 14 + 124 + 16 + 256 * 4;

struct BmpHeader {
    std::vector<uint8_t> prefix;  // "BM" file header, 12- or 40-byte info header, masks, palette; rows follow it
    uint64_t data_at = 0;         // where the rows start in the file
    bool rewritten = false;       // the file's info header was a larger one
    bool core = false;            // 12-byte info header
    int64_t width = 0;
    int64_t height = 0;  // negative: rows stored top row first
    uint32_t bits = 0;
    uint32_t compression = 0;
};

// The header of a BMP, with or without its file header, from the file's first
// bytes; nothing when they hold no info header of a known size, or not all of
// it, its masks and its palette.
std::optional<BmpHeader> read_bmp_header(const uint8_t* head, std::size_t head_size, uint64_t file_size);

// Whether stream_bmp reads it: no compression, colour masks, RLE8 or RLE4.
bool bmp_streams(const BmpHeader& header);

// The rows of a BMP that streams, reduced to the limits. On failure the BMP
// reader's message (for a rewritten header "Unknown DIB file format.", as the
// reader says of the file itself), "Out of memory." over the pixel limit
// before anything is read, or kPictureCancelled.
struct BmpStreamResult {
    std::optional<RgbImage> image;
    const char* failure = nullptr;
};
BmpStreamResult stream_bmp(PictureInput& input, const BmpHeader& header, const PictureLimits& limits);

}  // namespace orvex
