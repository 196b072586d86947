#include "picture/bmp_rle.h"

#include <algorithm>

namespace orvex {

RleEnd unpack_rle(RleBytes& in, bool four_bits, int64_t width, int64_t rows,
                  const std::array<uint8_t, 256 * 3>& palette, RleRows& out) {
    std::array<uint8_t, 255 * 3> run{};
    int64_t x = 0, y = 0;
    // count pixels from the run buffer at x, clipped to the row.
    auto emit = [&](int count) {
        if (x < width) out.pixels(y, x, static_cast<int>(std::min<int64_t>(count, width - x)), run.data());
        x += count;
    };
    auto set = [&](int i, uint32_t index) { std::copy_n(&palette[(index & 255) * 3], 3, &run[i * 3]); };
    // Row y and the rows before row `to` are done; those stay black.
    auto move_up = [&](int64_t to) {
        for (; y < std::min(to, rows); ++y)
            if (!out.row_done(y)) return false;
        y = to;
        return true;
    };
    while (y < rows) {
        uint8_t count = 0, value = 0;
        if (!in.next(count) || !in.next(value)) return RleEnd::kDamaged;
        if (count > 0) {
            for (int i = 0; i < count; ++i) set(i, four_bits ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            emit(count);
        } else if (value == 0) {
            if (!move_up(y + 1)) return RleEnd::kStopped;
            x = 0;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            uint8_t dx = 0, dy = 0;
            if (!in.next(dx) || !in.next(dy)) return RleEnd::kDamaged;
            x += dx;
            if (dy > 0 && !move_up(y + dy)) return RleEnd::kStopped;
        } else {
            uint8_t b = 0;
            for (int i = 0; i < value; ++i) {
                if ((!four_bits || i % 2 == 0) && !in.next(b)) return RleEnd::kDamaged;
                set(i, four_bits ? (i % 2 == 0 ? b >> 4 : b & 15) : b);
            }
            emit(value);
            const unsigned bytes = four_bits ? (value + 1u) / 2 : value;
            if (bytes % 2 == 1) in.next(b);  // groups are padded to 16 bits
        }
    }
    return move_up(rows) ? RleEnd::kDone : RleEnd::kStopped;
}

}  // namespace orvex
