#include "seed/life105_reader.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "base/text_chars.h"
#include "core/rules.h"

namespace orvex {

namespace {

constexpr int kRuleLineMax = 79;  // characters of a header line the rule test reads

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

}  // namespace

PatternRead read_life105(std::string_view text, int field_size) {
    Cursor in(text);
    if (!read_header(in))
        return pattern_failure("not a Life 1.05 file (it must begin with \"#Life 1.05\" and a \"#D\" line)");
    int n = 0;
    PatternRead result = empty_pattern(field_size, &n);

    // From the first description word on, words are skipped up to the first
    // "#P" (which may be that very word).
    std::string_view w = in.word();
    while (!w.empty() && w != "#P") w = in.word();

    int64_t x = 0, y = 0;
    while (w == "#P") {
        in.integer(x);  // an offset that can't be read keeps the previous block's
        in.integer(y);
        const int64_t half = n / 2;
        x = std::clamp(x, -half, half);
        y = std::clamp(y, -half, half);
        PatternBlock block(result.cells, n, x, y);
        int64_t row = 0;
        for (w = in.word(); !w.empty() && w != "#P"; w = in.word(), ++row)
            for (size_t k = 0; k < w.size() && static_cast<int64_t>(k) < half - x; ++k)
                block.run(static_cast<int64_t>(k), row, 1, w[k] == '.' ? 0 : 1);
    }
    return result;
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

}  // namespace orvex
