// Pictures made small while they are decoded, and turned upright.
//
// BoxReducer takes a picture's rows one at a time, in either direction, and
// keeps only the rows of the reduced picture that are being filled: every
// pixel of the result is the mean of the source pixels that fall on it. So a
// decoder that hands over rows holds no more than a few rows of its source.
// A decoder whose pixels come in another order (an interlaced PNG, pass by
// pass) hands them over where they lie instead; the reducer then holds a sum
// for every pixel of the result, never the source.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "picture/bmp_reader.h"

namespace orvex {

// How large a decoded picture may come out. max_side 0: as large as it is.
// cancel: when set, a decode under way gives up at its next band of rows.
struct PictureLimits {
    int max_side = 0;                           // neither side of the result above this
    int64_t max_source_pixels = kMaxPixels;     // larger sources are refused ("Out of memory.")
    const std::atomic<bool>* cancel = nullptr;  // null: never cancelled

    bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
};

// Why a decode gave up: its cancel flag was set (nobody is left to be told).
extern const char* const kPictureCancelled;

// The side a source side is reduced to.
int reduced_side(int side, int max_side);

// The largest side a picture needs for a window: the power of two at or above
// the window's larger side, and never above the GL's largest texture.
int texture_side_for_window(int width, int height, int max_texture_size);

class BoxReducer {
public:
    // The result is dst_width x dst_height (each at most the source's).
    BoxReducer(int src_width, int src_height, int dst_width, int dst_height);

    // One source row of src_width RGB pixels; y counts from the bottom row.
    // Rows come in order, bottom up or top down, each once.
    void add_row(int y, const uint8_t* rgb);
    // count RGB pixels of source row y (from the bottom) that lie at columns
    // x0, x0 + step, ...: every source pixel once, the rows and pixels in any
    // order. A reducer takes either rows or these, not both.
    void add_pixels(int y, int x0, int step, int count, const uint8_t* rgb);
    // A row that comes in pieces, in row order as add_row: count RGB pixels
    // of source row y from column x0 on (those past the row are dropped), then
    // end_row(y) once the row is complete. Pixels never given stay black, so a
    // row that is all black costs only its end_row.
    void add_span(int y, int64_t x0, int count, const uint8_t* rgb);
    void end_row(int y);
    RgbImage finish();

private:
    void flush();
    void to_row(int y);
    uint32_t col_count(std::size_t d) const;  // source columns on result column d
    void start_grid();
    template <class Sum>
    void add_to(std::vector<Sum>& sums, int y, int x0, int step, int count, const uint8_t* rgb);
    template <class Sum>
    void settle(std::vector<Sum>& sums);

    int src_w_, src_h_, dst_w_, dst_h_;
    // Sized by the result, never by the source: result column d takes source
    // columns first_col_[d] up to first_col_[d + 1].
    std::vector<int> first_col_;
    std::vector<uint64_t> sums_;  // the result row being filled; 64 bits hold any picture within kMaxPixels
    int row_ = -1;                // which one
    uint64_t rows_in_ = 0;        // source rows added to it
    RgbImage out_;
    // Pixels that come anywhere: a sum for every result pixel, as narrow as
    // the largest box of source pixels allows (8 bits: the result itself).
    int grid_bits_ = 0;                // 0: rows come in order
    std::vector<uint32_t> row_count_;  // source rows on every result row
    std::vector<uint16_t> grid16_;
    std::vector<uint32_t> grid32_;
    std::vector<uint64_t> grid64_;
};

// A whole picture reduced so that neither side exceeds max_side (0: unchanged).
RgbImage reduce_image(RgbImage image, int max_side);

// Turns a picture as the EXIF orientation tag (1..8) says the camera held it,
// so that it shows upright; other values change nothing.
RgbImage apply_orientation(RgbImage image, int orientation);

// The EXIF orientation in a JPEG APP1 segment's bytes ("Exif\0\0" and a TIFF
// structure); 1 when there is none or the bytes are damaged.
int exif_orientation(const uint8_t* data, std::size_t size);
// The same, found among the segments of a whole JPEG file before its pixels.
int jpeg_file_orientation(const uint8_t* data, std::size_t size);

}  // namespace orvex
