#include "seed/pattern_file.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <sstream>
#include <system_error>
#include <type_traits>

#include "base/file_read.h"
#include "config/file_names.h"
#include "core/rules.h"
#include "seed/pattern_formats.h"

namespace orvex {

namespace {

constexpr int kRuleLineMax = 79;  // characters of a header line the rule test reads

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A reading position in the text, with the three ways the format is read.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    // Next word, or an empty view at the end of the text.
    std::string_view word() {
        skip_blanks();
        const size_t start = pos_;
        while (pos_ < text_.size() && !is_blank(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // A decimal integer after blanks: optional sign, then digits. On failure
    // nothing but the blanks is consumed. Values beyond the int64 range saturate.
    bool integer(int64_t& value) {
        skip_blanks();
        size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
        if (p >= text_.size() || !is_digit(text_[p])) return false;
        constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 1;
        int64_t v = 0;
        for (; p < text_.size() && is_digit(text_[p]); ++p)
            if (v < kLimit) v = v * 10 + (text_[p] - '0');
        pos_ = p;
        value = negative ? -v : v;
        return true;
    }

    // The rest of the current line, at most max characters, without its line end
    // (LF or CR LF) when that was reached.
    std::string_view rest_of_line(size_t max) {
        const size_t start = pos_;
        while (pos_ < text_.size() && pos_ - start < max) {
            if (text_[pos_++] == '\n') break;
        }
        std::string_view line = text_.substr(start, pos_ - start);
        if (!line.empty() && line.back() == '\n') {
            line.remove_suffix(1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        return line;
    }

private:
    void skip_blanks() {
        while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

bool read_header(Cursor& in) { return in.word() == "#Life" && in.word() == "1.05" && in.word() == "#D"; }

int64_t bounded(int64_t v, int64_t half) { return std::clamp(v, -half, half); }

}  // namespace

PatternRead read_life105(std::string_view text, int field_size) {
    PatternRead result;
    const int n = std::clamp(field_size, kMinFieldSize, kMaxFieldSize);
    Cursor in(text);
    if (!read_header(in)) {
        result.error = "not a Life 1.05 file (it must begin with \"#Life 1.05\" and a \"#D\" line)";
        return result;
    }
    result.cells.assign(static_cast<size_t>(n) * n, 0);
    const int64_t half = n / 2;

    // From the first description word on, words are skipped up to the first
    // "#P" (which may be that very word).
    std::string_view w = in.word();
    while (!w.empty() && w != "#P") w = in.word();

    int64_t x = 0, y = 0;
    while (w == "#P") {
        in.integer(x);  // an offset that can't be read keeps the previous block's
        in.integer(y);
        x = bounded(x, half);
        y = bounded(y, half);
        int64_t row = -y;
        for (w = in.word(); !w.empty() && w != "#P"; w = in.word(), --row) {
            if (row < -half || row > half - 1) continue;
            const int64_t j = half + row;
            // Columns x + k inside -half .. half - 1; x >= -half, so k starts at 0.
            const int64_t last = std::min<int64_t>(static_cast<int64_t>(w.size()) - 1, half - 1 - x);
            for (int64_t k = 0; k <= last; ++k) {
                const int64_t i = half + x + k;
                result.cells[static_cast<size_t>(i * n + j)] = w[static_cast<size_t>(k)] == '.' ? 0 : 1;
            }
        }
    }
    return result;
}

PatternRead read_pattern_file(const std::filesystem::path& path, int field_size) {
    FileText text = read_small_file(path, kMaxPatternFileBytes);
    if (!text.bytes) {
        PatternRead result;
        result.error = text.error;
        return result;
    }
    const std::filesystem::path::string_type extension = path.extension().native();
    std::string ascii;  // the extension, when it is plain ASCII
    for (const auto c : extension) {
        const auto code = static_cast<std::make_unsigned_t<std::remove_const_t<decltype(c)>>>(c);
        ascii += code < 128 ? static_cast<char>(code) : '?';
    }
    return read_pattern_text(*text.bytes, format_for_name("x" + ascii), field_size);
}

std::string pattern_file_name(const std::string& pattern_name) {
    return format_for_name(pattern_name) == PatternFormat::Life105 ? pattern_name + ".lif" : pattern_name;
}

bool Pattern_Allowed_By_Rule(std::string_view file_text, int rule) {
    if (rule < 0 || rule >= kLifeRuleCount) return false;
    const std::string_view key = life_names[rule];
    Cursor in(file_text);
    if (!read_header(in)) return false;
    for (;;) {
        if (in.rest_of_line(kRuleLineMax) == key) return true;
        const std::string_view w = in.word();
        if (w.empty() || w == "#P") return false;
    }
}

bool Pattern_Allowed_By_Rule(std::istream& file, int rule) {
    std::ostringstream text;
    text << file.rdbuf();
    return Pattern_Allowed_By_Rule(text.str(), rule);
}

void Load_Pattern(Settings& settings, const std::filesystem::path& patterns_folder,
                  std::vector<int32_t>& pattern_matrix) {
    const int n = std::clamp(settings.field_size, kMinFieldSize, kMaxFieldSize);
    pattern_matrix.assign(static_cast<size_t>(n) * n, 0);
    if (settings.pattern != kPatternFromFile) return;

    // The dialog only ever stores names of files in the pattern folder.
    const std::string& name = settings.pattern_name;
    const bool plain_name = !name.empty() && name.find_first_of("/\\:") == std::string::npos;
    if (!plain_name) {
        settings.pattern = 0;
        return;
    }
    PatternRead read = read_pattern_file(path_for_name(patterns_folder, pattern_file_name(name)), n);
    if (!read.ok()) {
        settings.pattern = 0;
        return;
    }
    fit_states_to_rule(read.cells, settings.Family, settings.life_rule);
    pattern_matrix = std::move(read.cells);
}

}  // namespace orvex
