// Life 1.05 pattern files as the saver reads them.
//
// The text is read word by word (words are runs of non-blank characters); only
// the rule test looks at lines. Layout: "#Life" "1.05" "#D", free description
// words up to the first "#P", then blocks: "#P x y" and one word per row, each
// character a cell ('.' dead, anything else alive). Offsets count from the field
// centre and are bounded to +-(N div 2); cells beyond the field are dropped;
// later blocks overwrite earlier ones.
//
// The pattern matrix is N x N values, row-major with stride N, addressed [i][j]
// with i = N/2 + x (along a file row) and j = N/2 - y (up the file's lines).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"

namespace orvex {

struct PatternRead {
    std::vector<int32_t> cells;  // field_size * field_size values; empty when not usable
    std::string error;           // why the file can't be used; empty when it can

    bool ok() const { return error.empty(); }
};

// Places the text's cells on a field of side field_size (100..1000). A text
// without the Life 1.05 header gives an error; one that ends before any "#P"
// gives an empty matrix.
PatternRead read_life105(std::string_view text, int field_size);

// Pattern files are a few kilobytes; anything past this is not one.
inline constexpr std::size_t kMaxPatternFileBytes = std::size_t{4} << 20;

// Reads the file at path as the saver does, in the format its extension names
// (seed/pattern_formats.h): a file that can't be opened (missing, a folder, not
// a regular file), can't be read or is larger than kMaxPatternFileBytes gives
// an error. Cells of an RLE file may hold states above 1.
PatternRead read_pattern_file(const std::filesystem::path& path, int field_size);

// The file a stored pattern name stands for: the name itself when it ends in
// ".rle" or ".cells", else the name and ".lif".
std::string pattern_file_name(const std::string& pattern_name);

// Whether the text carries the header and, on a line between it and the first
// "#P", the Life-family key of rule (0..11) as the line's whole text after its
// first word. Any failure, a rule out of range included, is false.
bool Pattern_Allowed_By_Rule(std::string_view file_text, int rule);
bool Pattern_Allowed_By_Rule(std::istream& file, int rule);

// Start-up loading: reads patterns_folder / pattern_file_name(pattern_name) when
// pattern is 10. pattern_matrix becomes field_size * field_size values, all 0
// unless the file was read, with only the states the chosen rule has. When the
// file can't be used, pattern becomes 0 (Random_Points).
// A name that would leave the pattern folder is refused the same way.
void Load_Pattern(Settings& settings, const std::filesystem::path& patterns_folder,
                  std::vector<int32_t>& pattern_matrix);

}  // namespace orvex
