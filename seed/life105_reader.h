// Life 1.05 pattern files as the saver reads them.
//
// The text is read word by word (words are runs of non-blank characters); only
// the rule test looks at lines. Layout: "#Life" "1.05" "#D", free description
// words up to the first "#P", then blocks: "#P x y" and one word per row, each
// character a cell ('.' dead, anything else alive). Offsets count from the field
// centre and are bounded to +-(N div 2); cells beyond the field are dropped;
// later blocks overwrite earlier ones (seed/pattern_reading.h).
#pragma once

#include <istream>
#include <string_view>

#include "seed/pattern_reading.h"

namespace orvex {

// Places the text's cells on a field of side field_size (100..1000). A text
// without the Life 1.05 header gives an error; one that ends before any "#P"
// gives an empty matrix.
PatternRead read_life105(std::string_view text, int field_size);

// Whether the text carries the header and, on a line between it and the first
// "#P", the Life-family key of rule (0..11) as the line's whole text after its
// first word. Any failure, a rule out of range included, is false.
bool Pattern_Allowed_By_Rule(std::string_view file_text, int rule);
bool Pattern_Allowed_By_Rule(std::istream& file, int rule);

}  // namespace orvex
