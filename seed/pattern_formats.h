// The pattern formats people share besides Life 1.05: RLE (".rle") and
// plaintext (".cells"), and the choice of reader by a file's extension.
//
// RLE: "#" comment lines ("#N" name, "#C" text, "#CXRLE Pos=x,y" the top-left
// cell), then the header "x = W, y = H[, rule = R]", then runs up to "!": an
// optional count and a tag, "b" or "." dead, "o" or "A".."X" (with a "p".."y"
// prefix, states 25 and up) live in that state, "$" the end of a row (a count
// ends that many). Plaintext: "!" comment lines, then one line per row, "."
// dead, "O" or "*" alive.
//
// Both are placed as a Life 1.05 file with a single block would be: at
// "#P -(W div 2) -(H div 2)", or at the Pos= offsets, holding the same rows, so
// the same bounding and clipping apply. The header's sizes only centre the
// pattern; nothing is allocated or walked by them, and sides beyond
// kMaxPatternSide are refused. Cells keep their state (1 live, 2 and up the
// dying states of Generations rules); fit_states_to_rule says what the chosen
// rule keeps. Anything malformed gives an error and no cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "seed/pattern_file.h"
#include "seed/rule_notation.h"

namespace orvex {

enum class PatternFormat { Life105, Rle, Plaintext };

// By the name's extension, without regard to case: ".rle", ".cells", else Life 1.05.
PatternFormat format_for_name(std::string_view name);
const char* format_name(PatternFormat format);  // "Life 1.05", "RLE", "plaintext"

// Header sides beyond this are refused: larger than any shared pattern, and
// a field shows at most 1000 cells of it.
inline constexpr int64_t kMaxPatternSide = 10'000'000;

struct PatternFacts {
    int64_t width = 0, height = 0;           // RLE: as the header says; plaintext: as the rows are
    std::string name;                        // "#N" line, RLE only
    std::string rule;                        // the header's rule text, RLE only; empty when none
    std::optional<CatalogueRule> catalogue;  // the catalogue rule it names
    bool positioned = false;                 // "#CXRLE Pos=" gave the top-left cell:
    int64_t left = 0, top = 0;               // its offsets from the field centre
};

// The RLE header and the comment lines before it; nothing when there is no
// usable header.
std::optional<PatternFacts> rle_facts(std::string_view text, std::string* error = nullptr);

PatternRead read_rle(std::string_view text, int field_size);
PatternRead read_plaintext(std::string_view text, int field_size, PatternFacts* facts = nullptr);
PatternRead read_pattern_text(std::string_view text, PatternFormat format, int field_size);

// Whether the dialog's filter lists the file for Life-family rule life_rule:
// a Life 1.05 file by its key line, an RLE file when its header's rule is that
// catalogue rule; a plaintext file never.
bool pattern_allowed_by_rule(PatternFormat format, std::string_view text, int life_rule);

// States above 1 stay where the chosen rule has them (the Generations
// families, up to its last state); elsewhere they become empty cells.
void fit_states_to_rule(std::vector<int32_t>& cells, int family, int life_rule);

}  // namespace orvex
