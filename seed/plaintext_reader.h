// Plaintext pattern files (".cells"): "!" comment lines, then one line per
// row, "." dead, "O" or "*" alive.
//
// Placed as a Life 1.05 file with a single block at
// "#P -(W div 2) -(H div 2)" would be, W and H the rows' extent, so the same
// bounding and clipping apply (seed/pattern_reading.h). Any other character in
// a row gives an error and no cells.
#pragma once

#include <string_view>

#include "seed/pattern_reading.h"

namespace orvex {

// facts, when given, receives the rows' width and height.
PatternRead read_plaintext(std::string_view text, int field_size, PatternFacts* facts = nullptr);

}  // namespace orvex
