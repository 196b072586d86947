#include "seed/plaintext_reader.h"

#include <algorithm>

namespace orvex {

PatternRead read_plaintext(std::string_view text, int field_size, PatternFacts* facts) {
    // First the rows' extent, then the cells, centred by it.
    int64_t width = 0, rows = 0, height = 0;
    TextLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (!line.empty() && line[0] == '!') continue;
        line = trimmed(line);
        for (char c : line)
            if (c != '.' && c != 'O' && c != '*')
                return pattern_failure("not a plaintext file: unexpected \"" + std::string(1, c) + "\" in a row");
        ++rows;
        if (!line.empty()) height = rows;
        width = std::max<int64_t>(width, static_cast<int64_t>(line.size()));
    }
    if (facts) {
        facts->width = width;
        facts->height = height;
    }
    int n = 0;
    PatternRead result = empty_pattern(field_size, &n);
    PatternBlock block(result.cells, n, -(width / 2), -(height / 2));
    TextLines again(text);
    for (int64_t row = 0; again.next(line);) {
        if (!line.empty() && line[0] == '!') continue;
        line = trimmed(line);
        for (std::size_t k = 0; k < line.size(); ++k)
            if (line[k] != '.') block.run(static_cast<int64_t>(k), row, 1, 1);
        ++row;
    }
    return result;
}

}  // namespace orvex
