#include "seed/pattern_formats.h"

#include <algorithm>

#include "config/settings.h"
#include "core/rules.h"

namespace orvex {

namespace {

constexpr int64_t kRunCap = int64_t{1} << 40;  // counts and positions saturate here, far off any field
constexpr int kMaxState = 255;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

bool ends_with_folded(std::string_view name, std::string_view extension) {
    if (name.size() <= extension.size()) return false;
    return std::equal(extension.begin(), extension.end(), name.end() - static_cast<std::ptrdiff_t>(extension.size()),
                      [](char want, char c) { return lower(c) == want; });
}

// One line at a time, without its line end.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const std::size_t end = std::min(text_.find('\n', pos_), text_.size());
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ = end + 1;
        return true;
    }
    std::size_t position() const { return std::min(pos_, text_.size()); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

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
    Lines lines(text);
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

// A Life 1.05 block at #P x y on an n x n matrix: offsets bounded to +-(n div 2),
// cells outside the field dropped.
class Block {
public:
    Block(std::vector<int32_t>& cells, int n, int64_t x, int64_t y)
        : cells_(cells),
          n_(n),
          half_(n / 2),
          x_(std::clamp<int64_t>(x, -half_, half_)),
          y_(std::clamp<int64_t>(y, -half_, half_)) {}

    // count cells of one state from column col of row row.
    void run(int64_t col, int64_t row, int64_t count, int32_t state) {
        const int64_t down = -(y_ + row);
        if (down < -half_ || down > half_ - 1) return;
        const int64_t first = std::max(col, -half_ - x_), last = std::min(col + count - 1, half_ - 1 - x_);
        for (int64_t k = first; k <= last; ++k)
            cells_[static_cast<std::size_t>((half_ + x_ + k) * n_ + half_ + down)] = state;
    }

private:
    std::vector<int32_t>& cells_;
    int64_t n_, half_, x_, y_;
};

int field_side(int field_size) { return std::clamp(field_size, kMinFieldSize, kMaxFieldSize); }

PatternRead failure(std::string error) {
    PatternRead r;
    r.error = std::move(error);
    return r;
}

}  // namespace

PatternFormat format_for_name(std::string_view name) {
    if (ends_with_folded(name, ".rle")) return PatternFormat::Rle;
    if (ends_with_folded(name, ".cells")) return PatternFormat::Plaintext;
    return PatternFormat::Life105;
}

const char* format_name(PatternFormat format) {
    switch (format) {
        case PatternFormat::Rle: return "RLE";
        case PatternFormat::Plaintext: return "plaintext";
        case PatternFormat::Life105: break;
    }
    return "Life 1.05";
}

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
    if (!facts) return failure("unusable RLE file: " + error);
    const int n = field_side(field_size);
    PatternRead result;
    result.cells.assign(static_cast<std::size_t>(n) * n, 0);
    Block block(result.cells, n, facts->positioned ? facts->left : -(facts->width / 2),
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
            return failure("unexpected \"" + std::string(prefix ? 1 : 0, prefix) + std::string(1, c) +
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
    if (prefix) return failure("the RLE cells end inside a state");
    return result;
}

PatternRead read_plaintext(std::string_view text, int field_size, PatternFacts* facts) {
    // First the rows' extent, then the cells, centred by it.
    int64_t width = 0, rows = 0, height = 0;
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (!line.empty() && line[0] == '!') continue;
        line = trimmed(line);
        for (char c : line)
            if (c != '.' && c != 'O' && c != '*')
                return failure("not a plaintext file: unexpected \"" + std::string(1, c) + "\" in a row");
        ++rows;
        if (!line.empty()) height = rows;
        width = std::max<int64_t>(width, static_cast<int64_t>(line.size()));
    }
    if (facts) {
        facts->width = width;
        facts->height = height;
    }
    const int n = field_side(field_size);
    PatternRead result;
    result.cells.assign(static_cast<std::size_t>(n) * n, 0);
    Block block(result.cells, n, -(width / 2), -(height / 2));
    Lines again(text);
    for (int64_t row = 0; again.next(line);) {
        if (!line.empty() && line[0] == '!') continue;
        line = trimmed(line);
        for (std::size_t k = 0; k < line.size(); ++k)
            if (line[k] != '.') block.run(static_cast<int64_t>(k), row, 1, 1);
        ++row;
    }
    return result;
}

PatternRead read_pattern_text(std::string_view text, PatternFormat format, int field_size) {
    switch (format) {
        case PatternFormat::Rle: return read_rle(text, field_size);
        case PatternFormat::Plaintext: return read_plaintext(text, field_size);
        case PatternFormat::Life105: break;
    }
    return read_life105(text, field_size);
}

bool pattern_allowed_by_rule(PatternFormat format, std::string_view text, int life_rule) {
    switch (format) {
        case PatternFormat::Rle: {
            const std::optional<PatternFacts> facts = rle_facts(text);
            return facts && facts->catalogue && !facts->catalogue->generations && facts->catalogue->index == life_rule;
        }
        case PatternFormat::Plaintext: return false;
        case PatternFormat::Life105: break;
    }
    return Pattern_Allowed_By_Rule(text, life_rule);
}

void fit_states_to_rule(std::vector<int32_t>& cells, int family, int life_rule) {
    Settings s;
    s.Family = family;
    s.life_rule = life_rule;
    normalize_second_stage(s);
    const int32_t last = s.Family == kFamilyLife ? 1 : life_lenght[s.life_rule] - 1;
    for (int32_t& v : cells)
        if (v > last) v = 0;
}

}  // namespace orvex
