#include "config/settings_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <system_error>

#include "base/file_write.h"
#include "base/text_chars.h"
#include "config/file_names.h"
#include "config/picture_names.h"
#include "config/rule_text.h"

namespace orvex {

namespace {

// The fifteen stored numbers, two names and line 18 exactly as the file holds them.
struct StoredValues {
    int main_color = 0, draw_style = 0, family = 0, life_rule = 0;
    int pattern = 0, speed = 0, field_size = 0;
    int one_color = 0, all_patterns = 0, lighting_id = 0, matrix_tr = 0;
    int texture = 0, cycle_texture = 0, reset_mode_id = 0;
    float reset_time = 0.0f;
    // A name that would not stay in its folder is none (is_plain_file_name).
    std::string pattern_name;
    std::optional<std::string> picture_name;
    int field_per_monitor = 0;
    std::string rule_text;  // line 19; empty when it is no rule
};

// Line 18 holds one digit; a longer line is cut, as the names are.
constexpr std::size_t kMaxLine18Length = 30;

// Reads numbers the way "%d" and "%f" do, in the C locale, and whole lines.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool read_int(int& out) {
        skip_space();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
        if (p >= text_.size() || !is_digit(text_[p])) return false;
        long long value = 0;
        constexpr long long kCap = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
        for (; p < text_.size() && is_digit(text_[p]); ++p)
            if (value < kCap) value = value * 10 + (text_[p] - '0');  // saturates far out of range
        if (negative) value = -value;
        if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
        if (value < std::numeric_limits<int>::min()) value = std::numeric_limits<int>::min();
        out = static_cast<int>(value);
        pos_ = p;
        return true;
    }

    bool read_float(float& out) {
        skip_space();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
        if (std::size_t n = match_word(p, "infinity", 3)) {
            out = negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
            pos_ = p + n;
            return true;
        }
        if (std::size_t n = match_word(p, "nan", 3)) {
            out = std::numeric_limits<float>::quiet_NaN();
            pos_ = p + n;
            return true;
        }
        const std::size_t start = p;
        std::size_t digits = 0;
        for (; p < text_.size() && is_digit(text_[p]); ++p) ++digits;
        if (p < text_.size() && text_[p] == '.')
            for (++p; p < text_.size() && is_digit(text_[p]); ++p) ++digits;
        if (digits == 0) return false;
        bool negative_exponent = false;
        if (p < text_.size() && (text_[p] == 'e' || text_[p] == 'E')) {
            std::size_t q = p + 1;
            if (q < text_.size() && (text_[q] == '+' || text_[q] == '-')) negative_exponent = text_[q++] == '-';
            if (q < text_.size() && is_digit(text_[q])) {
                while (q < text_.size() && is_digit(text_[q])) ++q;
                p = q;
            }
        }
        out = to_float(text_.substr(start, p - start), negative_exponent);
        if (negative) out = -out;
        pos_ = p;
        return true;
    }

    // Skips the rest of the current line and its line end.
    void skip_line() {
        std::size_t nl = text_.find('\n', pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
    }

    // One line without its line end (LF or CR LF), up to the first NUL, cut to
    // max_length characters; the rest of the line is skipped.
    std::string read_line(std::size_t max_length) {
        std::size_t nl = text_.find('\n', pos_);
        std::size_t end = nl == std::string_view::npos ? text_.size() : nl;
        std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = line.substr(0, line.find('\0'));
        return std::string(line.substr(0, max_length));
    }

    // Nothing but white space left.
    bool at_end() {
        skip_space();
        return pos_ == text_.size();
    }

private:
    void skip_space() {
        while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
    }

    // Length of word (or of its first `shortest` letters) at p, case-insensitive; 0 if absent.
    std::size_t match_word(std::size_t p, std::string_view word, std::size_t shortest) const {
        std::size_t n = 0;
        while (n < word.size() && p + n < text_.size() && ascii_lower(text_[p + n]) == word[n]) ++n;
        if (n == word.size()) return n;
        return n >= shortest ? shortest : 0;
    }

    // Unsigned decimal digits with optional point and exponent, correctly rounded.
    static float to_float(std::string_view digits, bool negative_exponent) {
        float value = 0.0f;
#if defined(__cpp_lib_to_chars)
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        (void)end;
        if (ec == std::errc::result_out_of_range)
            value = negative_exponent ? 0.0f : std::numeric_limits<float>::infinity();
#else
        // A standard library without floating-point from_chars (WebAssembly's):
        // its C library has only the "C" locale, so strtof reads the same.
        const std::string copy(digits);
        value = std::strtof(copy.c_str(), nullptr);
        (void)negative_exponent;  // strtof gives 0 on underflow and infinity on overflow itself
#endif
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// A line that holds one integer and nothing else but blanks; else 0.
int line_number(const std::string& line) {
    Scanner in(line);
    int value = 0;
    if (!in.read_int(value) || !in.at_end()) return 0;
    return value;
}

StoredValues scan(std::string_view text) {
    StoredValues v;
    Scanner in(text);
    // The numbers in the order of the file; the first that is not one ends the reading.
    int* const numbers[] = {&v.main_color, &v.draw_style, &v.family,        &v.life_rule,    &v.pattern,
                            &v.speed,      &v.field_size, &v.one_color,     &v.all_patterns, &v.lighting_id,
                            &v.matrix_tr,  &v.texture,    &v.cycle_texture, &v.reset_mode_id};
    bool reading = true;
    for (int* n : numbers)
        if (reading) reading = in.read_int(*n);
    if (reading) in.read_float(v.reset_time);
    in.skip_line();
    v.pattern_name = in.read_line(kMaxStoredNameLength);
    if (!v.pattern_name.empty() && !is_plain_file_name(v.pattern_name)) v.pattern_name.clear();
    v.picture_name = in.read_line(kMaxStoredNameLength);
    if (!v.picture_name->empty() && !is_plain_file_name(*v.picture_name)) v.picture_name.reset();
    v.field_per_monitor = line_number(in.read_line(kMaxLine18Length));
    v.rule_text = in.read_line(kMaxRuleText + 1);
    if (v.rule_text.size() > kMaxRuleText || !read_rule(v.rule_text).rule) v.rule_text.clear();
    return v;
}

// id - base as an int; an identifier far out of range stays far out of range.
int from_identifier(int id, int base) {
    long long v = static_cast<long long>(id) - base;
    return v < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min() : static_cast<int>(v);
}

int outside_to(int v, int lo, int hi, int fallback) { return (v < lo || v > hi) ? fallback : v; }
int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
int as_flag(int v) { return v != 0 ? 1 : 0; }

// A name up to its first LF or NUL, which would end it when it is read back.
std::string_view one_line(std::string_view name) {
    return name.substr(0, name.find_first_of(std::string_view("\n\0", 2)));
}

// "%f": six decimals, whatever the C locale's decimal point.
std::string six_decimals(double value) {
    char buffer[400];  // room for the largest double written out in full
#if defined(__cpp_lib_to_chars)
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (ec != std::errc()) return "0.000000";
    return std::string(buffer, end);
#else
    // WebAssembly's C library has only the "C" locale: its "%f" is the same.
    const int n = std::snprintf(buffer, sizeof buffer, "%.6f", value);
    if (n <= 0 || n >= static_cast<int>(sizeof buffer)) return "0.000000";
    return std::string(buffer, static_cast<std::size_t>(n));
#endif
}

}  // namespace

Settings parse_startup_settings(std::string_view text) {
    StoredValues v = scan(text);
    Settings s;
    s.MainColor = v.main_color;
    s.DrawStyle = v.draw_style;
    s.Family = v.family;
    s.life_rule = v.life_rule;
    s.pattern = v.pattern;
    s.speed = v.speed;
    s.field_size = v.field_size;
    s.OneColor = v.one_color;
    s.LightingNum = from_identifier(v.lighting_id, kLightingIdBase);
    s.MatrixTr = v.matrix_tr;
    s.TextureFlag = v.texture;
    s.Texture_Renew = v.cycle_texture;
    s.ResetMode = from_identifier(v.reset_mode_id, kResetModeIdBase);
    s.ResetTimeValue = static_cast<double>(v.reset_time);
    s.pattern_name = v.pattern_name;
    // No name opens no file: the first picture load fails and pictures go off.
    s.picture_name = v.picture_name ? picture_file_for_stored(*v.picture_name) : std::string();
    s.FieldPerMonitor = v.field_per_monitor;
    s.rule_text = v.rule_text;
    normalize_first_stage(s);
    return s;
}

Settings startup_settings_without_file() {
    // Without a file every value keeps its start value 0 and the names stay empty.
    Settings s;
    s.MainColor = 0;
    s.DrawStyle = 0;
    s.Family = 0;
    s.life_rule = 0;
    s.pattern = 0;
    s.speed = 0;
    s.field_size = 0;
    s.OneColor = 0;
    s.LightingNum = 0;
    s.MatrixTr = 0;
    s.TextureFlag = 0;
    s.Texture_Renew = 0;
    s.ResetMode = 0;
    s.ResetTimeValue = 0.0;
    normalize_first_stage(s);
    return s;
}

DialogSettings parse_dialog_settings(std::string_view text) {
    StoredValues v = scan(text);
    DialogSettings d;
    d.iMainColor = v.main_color;
    d.iDrawStyle = v.draw_style;
    d.iFamily = v.family;
    d.life_rule = v.life_rule;
    d.pattern = v.pattern;
    d.speed = v.speed;
    d.field_size = v.field_size;
    d.iOneColor = v.one_color;
    d.iAllPatterns = v.all_patterns;
    d.iLightingNum = v.lighting_id;
    d.iMatrixTr = v.matrix_tr;
    d.iTexture = v.texture;
    d.iCycleTexture = v.cycle_texture;
    d.iResetMode = v.reset_mode_id;
    d.iResetTime = v.reset_time;
    d.pattern_name = v.pattern_name;
    d.picture_name = v.picture_name.value_or(std::string());
    d.iFieldPerMonitor = v.field_per_monitor;
    d.rule_text = v.rule_text;
    normalize_dialog_settings(d);
    return d;
}

DialogSettings dialog_settings_without_file() {
    DialogSettings d;
    normalize_dialog_settings(d);
    return d;
}

void normalize_dialog_settings(DialogSettings& d) {
    d.iLightingNum = outside_to(d.iLightingNum, kLightingIdBase, kLightingIdBase + 3, kLightingIdBase);
    d.iAllPatterns = as_flag(d.iAllPatterns);
    d.iOneColor = as_flag(d.iOneColor);
    d.iMatrixTr = as_flag(d.iMatrixTr);
    d.iTexture = as_flag(d.iTexture);
    d.iCycleTexture = as_flag(d.iCycleTexture);
    d.iFieldPerMonitor = d.iFieldPerMonitor == 1 ? 1 : 0;  // a newer setting: anything but 1 is off
    d.iMainColor = outside_to(d.iMainColor, kColorRed, kColorBlue, kColorBlue);
    d.iDrawStyle = outside_to(d.iDrawStyle, kStylePoints, kStyleQuads, kStyleTriangles);
    d.iResetMode = outside_to(d.iResetMode, kResetModeIdBase, kResetModeIdBase + 2, kResetModeIdBase + kResetRepeat);
    if (!(d.iResetTime >= 10.0f)) d.iResetTime = 10.0f;  // NaN too
    if (d.iResetTime > 600.0f) d.iResetTime = 600.0f;
    d.field_size = clamp_int(d.field_size, kMinFieldSize, kMaxFieldSize);
    d.speed = clamp_int(d.speed, 1, 25);
    // A pattern file chosen earlier is found again by its name when the list is filled.
    d.pattern = outside_to(d.pattern, 0, 6, 0);
    d.life_rule = outside_to(d.life_rule, 0, 11, 0);
    d.iFamily = outside_to(d.iFamily, kFamilyLife, kFamilyModifiedGeneration, kFamilyLife);
    if (d.iFamily != kFamilyLife && d.life_rule > 9) d.life_rule = 9;
    if (!d.rule_text.empty() && !read_rule(d.rule_text).rule) d.rule_text.clear();
}

std::string format_settings_file(const DialogSettings& d) {
    std::string out;
    auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    for (int v : {d.iMainColor, d.iDrawStyle, d.iFamily, d.life_rule, d.pattern, d.speed, d.field_size, d.iOneColor,
                  d.iAllPatterns, d.iLightingNum, d.iMatrixTr, d.iTexture, d.iCycleTexture, d.iResetMode})
        line(std::to_string(v));
    line(six_decimals(static_cast<double>(d.iResetTime)));
    line(one_line(d.pattern_name));
    line(one_line(d.picture_name));
    line(std::to_string(d.iFieldPerMonitor == 1 ? 1 : 0));
    line(one_line(d.rule_text));
    return out;
}

std::optional<std::string> read_settings_text(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kSettingsFileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxSettingsFileBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return std::nullopt;
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

Settings load_startup_settings(const std::filesystem::path& folder) {
    std::optional<std::string> text = read_settings_text(folder);
    return text ? parse_startup_settings(*text) : startup_settings_without_file();
}

DialogSettings load_dialog_settings(const std::filesystem::path& folder) {
    std::optional<std::string> text = read_settings_text(folder);
    return text ? parse_dialog_settings(*text) : dialog_settings_without_file();
}

WriteResult save_settings_file(const std::filesystem::path& folder, const DialogSettings& d,
                               const std::function<void()>& before_replace) {
    const std::filesystem::path target = folder / kSettingsFileName;
    const FileReplace replaced = replace_file_durably(target, format_settings_file(d), before_replace);
    if (replaced) return {};
    return WriteResult{false, "cannot write '" + target.u8string() + "': " + replaced.error};
}

}  // namespace orvex
