// The run-length compressed BMPs (RLE8 and RLE4), unpacked a row at a time,
// for the whole-file reader and the band streaming alike.
#pragma once

#include <array>
#include <cstdint>

namespace orvex {

// The compressed bytes, one at a time; false at their end.
class RleBytes {
public:
    virtual bool next(uint8_t& byte) = 0;

protected:
    ~RleBytes() = default;
};

enum class RleEnd {
    kDone,     // every row handed over
    kDamaged,  // the stream ends before the picture does, without its end marker
    kStopped,  // the row callback said to stop
};

// Where the unpacked pixels go.
class RleRows {
public:
    // count pixels (at most 255) of row y from column x on, all within the row.
    virtual void pixels(int64_t y, int64_t x, int count, const uint8_t* rgb) = 0;
    // Row y is complete; false to stop.
    virtual bool row_done(int64_t y) = 0;

protected:
    ~RleRows() = default;
};

// Runs and absolute groups, with escapes for the end of a row, the end of the
// picture and a move right and up. Runs past the end of a row are clipped,
// pixels the stream skips and the rows after its end stay black (they are
// never handed over), and a move below the last row ends the picture. palette:
// RGB, 256 entries, black where the file holds none. Every row is done once,
// the bottom row (y 0) first. Nothing here is sized by the picture's width, so
// a file that claims a huge one costs only the rows it has.
RleEnd unpack_rle(RleBytes& in, bool four_bits, int64_t width, int64_t rows,
                  const std::array<uint8_t, 256 * 3>& palette, RleRows& out);

}  // namespace orvex
