// The text form of a field: N lines of N characters, line i is row i, character j
// column j. '.' is 0, '1'..'9' are 1..9, 'a'..'z' 10..35, 'A'..'Z' 36..61.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

class Automaton;

// The character for a cell value; '*' for a value the form cannot show (below 0, above 61).
char cell_char(int32_t value);
// The value of a cell character, or -1 when it is none.
int32_t cell_value(char c);

std::string dump_field(const Automaton& field);

struct ParsedGrid {
    int size = 0;                // lines = columns
    std::vector<int32_t> cells;  // size * size, row by row
    std::string error;           // empty on success
};

// Reads the text form. Lines may end in LF or CR LF; a last line end is optional.
// The grid must be square, with a side of min_side..max_side.
ParsedGrid parse_grid(std::string_view text, int min_side, int max_side);

}  // namespace orvex
