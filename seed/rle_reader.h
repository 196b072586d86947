// RLE pattern files (".rle"), as Golly and the pattern collections share them.
//
// "#" comment lines ("#N" name, "#C" text, "#CXRLE Pos=x,y" the top-left
// cell), then the header "x = W, y = H[, rule = R]", then runs up to "!": an
// optional count and a tag, "b" or "." dead, "o" or "A".."X" (with a "p".."y"
// prefix, states 25 and up) live in that state, "$" the end of a row (a count
// ends that many).
//
// Placed as a Life 1.05 file with a single block would be: at
// "#P -(W div 2) -(H div 2)", or at the Pos= offsets, holding the same rows, so
// the same bounding and clipping apply. The header's sizes only centre the
// pattern; nothing is allocated or walked by them, and sides beyond
// kMaxPatternSide are refused. Cells keep their state (1 live, 2 and up the
// dying states of Generations rules). Anything malformed gives an error and
// no cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "seed/pattern_reading.h"

namespace orvex {

// Header sides beyond this are refused: larger than any shared pattern, and
// a field shows at most 1000 cells of it.
inline constexpr int64_t kMaxPatternSide = 10'000'000;

// The RLE header and the comment lines before it; nothing when there is no
// usable header.
std::optional<PatternFacts> rle_facts(std::string_view text, std::string* error = nullptr);

PatternRead read_rle(std::string_view text, int field_size);

}  // namespace orvex
