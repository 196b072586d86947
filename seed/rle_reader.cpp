#include "seed/rle_reader.h"

#include <algorithm>

#include "base/text_chars.h"

namespace orvex {

namespace {

constexpr int64_t kRunCap = int64_t{1} << 40;  // counts and positions saturate here, far off any field
constexpr int kMaxState = 255;

// A decimal integer with optional sign; saturates at kRunCap.
bool parse_integer(std::string_view s, int64_t& value) {
    s = trimmed(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    int64_t v = 0;
    for (char c : s) {
        if (!is_digit(c)) return false;
        v = std::min(v * 10 + (c - '0'), kRunCap);
    }
    value = negative ? -v : v;
    return true;
}

// "#CXRLE Pos=-5,-3 Gen=0": the pattern's top-left cell.
void read_position(std::string_view line, PatternFacts& facts) {
    const std::size_t at = line.find("Pos=");
    if (at == std::string_view::npos) return;
    std::string_view rest = line.substr(at + 4);
    rest = rest.substr(0, rest.find_first_of(" \t"));
    const std::size_t comma = rest.find(',');
    int64_t left = 0, top = 0;
    if (comma == std::string_view::npos || !parse_integer(rest.substr(0, comma), left) ||
        !parse_integer(rest.substr(comma + 1), top))
        return;
    facts.positioned = true;
    facts.left = left;
    facts.top = top;
}

bool read_header(std::string_view line, PatternFacts& facts, std::string& error) {
    bool has_x = false, has_y = false;
    while (!line.empty()) {
        const std::size_t comma = line.find(',');
        std::string_view item = line.substr(0, comma);
        line = comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimmed(item.substr(0, eq)), value = trimmed(item.substr(eq + 1));
        if (key == "x" || key == "y") {
            int64_t side = 0;
            if (!parse_integer(value, side) || side < 0) {
                error = "the header's size is not a number";
                return false;
            }
            (key == "x" ? facts.width : facts.height) = side;
            (key == "x" ? has_x : has_y) = true;
        } else if (key == "rule") {
            facts.rule = std::string(value);
            facts.catalogue = catalogue_rule(value);
        }
    }
    if (!has_x || !has_y) {
        error = "the header lacks \"x =\" or \"y =\"";
        return false;
    }
    if (facts.width > kMaxPatternSide || facts.height > kMaxPatternSide) {
        error = "the header claims " + std::to_string(facts.width) + " x " + std::to_string(facts.height) +
                " cells, more than " + std::to_string(kMaxPatternSide) + " a side";
        return false;
    }
    return true;
}

// The comment lines and the header; data_start is where the runs begin.
std::optional<PatternFacts> parse_rle_head(std::string_view text, std::size_t& data_start, std::string& error) {
    PatternFacts facts;
    TextLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const std::string_view t = trimmed(line);
        if (t.empty()) continue;
        if (t[0] == '#') {
            if (t.substr(0, 2) == "#N") facts.name = std::string(trimmed(t.substr(2)));
            if (t.substr(0, 6) == "#CXRLE") read_position(t, facts);
            continue;
        }
        if (t[0] != 'x' || !read_header(t, facts, error)) {
            if (error.empty()) error = "no RLE header (\"x = W, y = H\")";
            return std::nullopt;
        }
        data_start = lines.position();
        return facts;
    }
    error = "no RLE header (\"x = W, y = H\")";
    return std::nullopt;
}

}  // namespace

std::optional<PatternFacts> rle_facts(std::string_view text, std::string* error) {
    std::size_t data_start = 0;
    std::string why;
    std::optional<PatternFacts> facts = parse_rle_head(text, data_start, why);
    if (error) *error = why;
    return facts;
}

PatternRead read_rle(std::string_view text, int field_size) {
    std::size_t p = 0;
    std::string error;
    const std::optional<PatternFacts> facts = parse_rle_head(text, p, error);
    if (!facts) return pattern_failure("unusable RLE file: " + error);
    int n = 0;
    PatternRead result = empty_pattern(field_size, &n);
    PatternBlock block(result.cells, n, facts->positioned ? facts->left : -(facts->width / 2),
                       facts->positioned ? facts->top : -(facts->height / 2));

    int64_t count = 0, col = 0, row = 0;
    bool counted = false;
    char prefix = 0;  // 'p'..'y' before a state letter
    for (; p < text.size() && text[p] != '!'; ++p) {
        const char c = text[p];
        if (is_digit(c) && !prefix) {
            count = std::min(count * 10 + (c - '0'), kRunCap);
            counted = true;
            continue;
        }
        if (is_blank(c) && !prefix) continue;
        if (c >= 'p' && c <= 'y' && !prefix) {
            prefix = c;
            continue;
        }
        const int64_t runs = counted ? count : 1;
        count = 0;
        counted = false;
        int state = -1;
        if (c >= 'A' && c <= 'X') state = (prefix ? (prefix - 'p' + 1) * 24 : 0) + (c - 'A' + 1);
        if (!prefix && (c == 'o' || c == 'b' || c == '.' || c == '$')) state = c == 'o' ? 1 : 0;
        if (state < 0 || state > kMaxState) {
            return pattern_failure("unexpected \"" + std::string(prefix ? 1 : 0, prefix) + std::string(1, c) +
                                   "\" in the RLE cells");
        }
        prefix = 0;
        if (c == '$') {
            row = std::min(row + runs, kRunCap);
            col = 0;
            continue;
        }
        if (state > 0) block.run(col, row, runs, state);
        col = std::min(col + runs, kRunCap);
    }
    if (prefix) return pattern_failure("the RLE cells end inside a state");
    return result;
}

}  // namespace orvex
