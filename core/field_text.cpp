#include "core/field_text.h"

#include <array>

#include "core/automaton.h"

namespace orvex {

char cell_char(int32_t v) {
    if (v == 0) return '.';
    if (v >= 1 && v <= 9) return static_cast<char>('0' + v);
    if (v >= 10 && v <= 35) return static_cast<char>('a' + v - 10);
    if (v >= 36 && v <= 61) return static_cast<char>('A' + v - 36);
    return '*';
}

int32_t cell_value(char c) {
    if (c == '.') return 0;
    if (c >= '1' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 36;
    return -1;
}

std::string dump_field(const Automaton& field) {
    const int n = field.field_size();
    std::string out;
    out.reserve(static_cast<size_t>(n) * (n + 1));
    for (int i = 0; i < n; ++i) {
        const CellRow row = field.row(i);
        for (int j = 0; j < n; ++j) out.push_back(cell_char(row[j]));
        out.push_back('\n');
    }
    return out;
}

ParsedGrid parse_grid(std::string_view text, int min_side, int max_side) {
    ParsedGrid g;
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
        if (lines.size() > static_cast<size_t>(max_side)) break;
    }
    const size_t side = lines.size();
    if (side < static_cast<size_t>(min_side) || side > static_cast<size_t>(max_side)) {
        g.error = "grid has " + std::to_string(side) + (side > static_cast<size_t>(max_side) ? "+" : "") +
                  " lines; a side of " + std::to_string(min_side) + ".." + std::to_string(max_side) + " is needed";
        return g;
    }
    // Cell values by character, -1 for characters that are no cell.
    static const auto values = [] {
        std::array<int32_t, 256> t{};
        for (int c = 0; c < 256; ++c) t[c] = cell_value(static_cast<char>(c));
        return t;
    }();
    g.cells.resize(side * side);
    int32_t* out = g.cells.data();
    for (size_t i = 0; i < side; ++i) {
        if (lines[i].size() != side) {
            g.error = "grid is not square: line " + std::to_string(i + 1) + " has " + std::to_string(lines[i].size()) +
                      " characters, expected " + std::to_string(side);
            g.cells.clear();
            return g;
        }
        int32_t bad = 0;
        for (size_t j = 0; j < side; ++j) bad |= (*out++ = values[static_cast<unsigned char>(lines[i][j])]);
        if (bad >= 0) continue;
        for (size_t j = 0; j < side; ++j) {
            const int32_t v = cell_value(lines[i][j]);
            if (v < 0) {
                g.error = "bad cell character at line " + std::to_string(i + 1) + ", column " + std::to_string(j + 1);
                g.cells.clear();
                return g;
            }
        }
    }
    g.size = static_cast<int>(side);
    return g;
}

}  // namespace orvex
