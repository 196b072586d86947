#include "seed/pattern_reading.h"

#include <algorithm>

#include "base/text_chars.h"
#include "config/settings.h"

namespace orvex {

PatternRead pattern_failure(std::string error) {
    PatternRead r;
    r.error = std::move(error);
    return r;
}

PatternBlock::PatternBlock(std::vector<int32_t>& cells, int n, int64_t x, int64_t y)
    : cells_(cells),
      n_(n),
      half_(n / 2),
      x_(std::clamp<int64_t>(x, -half_, half_)),
      y_(std::clamp<int64_t>(y, -half_, half_)) {}

void PatternBlock::run(int64_t col, int64_t row, int64_t count, int32_t state) {
    const int64_t down = -(y_ + row);
    if (down < -half_ || down > half_ - 1) return;
    const int64_t first = std::max(col, -half_ - x_), last = std::min(col + count - 1, half_ - 1 - x_);
    for (int64_t k = first; k <= last; ++k)
        cells_[static_cast<std::size_t>((half_ + x_ + k) * n_ + half_ + down)] = state;
}

PatternRead empty_pattern(int field_size, int* side) {
    const int n = std::clamp(field_size, kMinFieldSize, kMaxFieldSize);
    if (side) *side = n;
    PatternRead result;
    result.cells.assign(static_cast<std::size_t>(n) * n, 0);
    return result;
}

bool TextLines::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = std::min(text_.find('\n', pos_), text_.size());
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace orvex
