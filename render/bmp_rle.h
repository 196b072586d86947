// The run-length compressed BMPs (RLE8 and RLE4), unpacked a row at a time,
// for the whole-file reader and the band streaming alike.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

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

// Runs and absolute groups, with escapes for the end of a row, the end of the
// picture and a move right and up. Runs past the end of a row are clipped,
// pixels the stream skips and the rows after its end stay black, and a move
// below the last row ends the picture. palette: RGB, 256 entries, black where
// the file holds none. row(y, rgb) gets each of the picture's rows once, the
// bottom row (y 0) first, width RGB pixels; it returns false to stop.
RleEnd unpack_rle(RleBytes& in, bool four_bits, int64_t width, int64_t rows,
                  const std::array<uint8_t, 256 * 3>& palette,
                  const std::function<bool(int64_t y, const uint8_t* rgb)>& row);

}  // namespace orvex
