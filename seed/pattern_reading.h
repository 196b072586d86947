// What the pattern readers (Life 1.05, RLE, plaintext) share: their result,
// the facts a header gives, the placement of a block of cells on the field,
// and reading a text line by line.
//
// Placement is Life 1.05's: a block at "#P x y" on a field of side N puts the
// cell of its row r and column k at [N/2 + x + k][N/2 - (y + r)] of an N x N
// matrix (row-major, stride N), with x and y bounded to +-(N div 2) first and
// cells outside the field dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "seed/rule_notation.h"

namespace orvex {

struct PatternRead {
    std::vector<int32_t> cells;  // field_size * field_size values; empty when not usable
    std::string error;           // why the file can't be used; empty when it can

    bool ok() const { return error.empty(); }
};

struct PatternFacts {
    int64_t width = 0, height = 0;           // RLE: as the header says; plaintext: as the rows are
    std::string name;                        // "#N" line, RLE only
    std::string rule;                        // the header's rule text, RLE only; empty when none
    std::optional<CatalogueRule> catalogue;  // the catalogue rule it names
    bool positioned = false;                 // "#CXRLE Pos=" gave the top-left cell:
    int64_t left = 0, top = 0;               // its offsets from the field centre
};

// A result without cells that says why.
PatternRead pattern_failure(std::string error);

// One block of cells on an n x n matrix, placed as above.
class PatternBlock {
public:
    PatternBlock(std::vector<int32_t>& cells, int n, int64_t x, int64_t y);

    // count cells of one state from column col of row row (both from 0).
    void run(int64_t col, int64_t row, int64_t count, int32_t state);

private:
    std::vector<int32_t>& cells_;
    int64_t n_, half_, x_, y_;
};

// A result whose matrix for field_size (brought into 100..1000) is all empty;
// its side in *side.
PatternRead empty_pattern(int field_size, int* side);

// One line at a time, without its line end (LF or CR LF).
class TextLines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}
    bool next(std::string_view& line);
    std::size_t position() const { return pos_ < text_.size() ? pos_ : text_.size(); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// s without the blanks at either end.
std::string_view trimmed(std::string_view s);

}  // namespace orvex
