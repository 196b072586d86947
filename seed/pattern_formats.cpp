#include "seed/pattern_formats.h"

#include "base/text_chars.h"
#include "config/settings.h"
#include "core/rules.h"

namespace orvex {

PatternFormat format_for_name(std::string_view name) {
    if (has_extension(name, ".rle")) return PatternFormat::Rle;
    if (has_extension(name, ".cells")) return PatternFormat::Plaintext;
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

std::optional<RuleSets> pattern_rule(PatternFormat format, std::string_view text) {
    switch (format) {
        case PatternFormat::Rle: {
            const std::optional<PatternFacts> facts = rle_facts(text);
            if (!facts || facts->rule.empty()) return std::nullopt;
            return read_rule(facts->rule).rule;
        }
        case PatternFormat::Plaintext: return std::nullopt;
        case PatternFormat::Life105: break;
    }
    TextLines lines(text);
    std::string_view line;
    if (!lines.next(line) || trimmed(line).substr(0, 5) != "#Life") return std::nullopt;
    while (lines.next(line)) {
        line = trimmed(line);
        if (line.substr(0, 2) == "#P") return std::nullopt;
        if (line == "#N") return rule_from_counts(1u << 3, 1u << 2 | 1u << 3, 2);
        if (line.substr(0, 2) == "#R") return read_rule(line.substr(2)).rule;
    }
    return std::nullopt;
}

bool pattern_listed_for_rule(PatternFormat format, std::string_view text, int family, int life_rule,
                             const std::optional<RuleSets>& own) {
    const std::optional<RuleSets> named = pattern_rule(format, text);
    if (own) return named && *named == *own;
    if (family == kFamilyLife && pattern_allowed_by_rule(format, text, life_rule)) return true;
    Settings s;
    s.Family = family;
    s.life_rule = life_rule;
    normalize_second_stage(s);
    return named && *named == catalogue_sets(s.Family == kFamilyLife ? kLifeRules : kGenerationRules, s.life_rule);
}

namespace {
void keep_states(std::vector<int32_t>& cells, int32_t last) {
    for (int32_t& v : cells)
        if (v > last) v = 0;
}
}  // namespace

void fit_states_to_rule(std::vector<int32_t>& cells, int family, int life_rule) {
    Settings s;
    s.Family = family;
    s.life_rule = life_rule;
    fit_states_to_rule(cells, s);
}

void fit_states_to_rule(std::vector<int32_t>& cells, const Settings& settings) {
    Settings s = settings;
    normalize_second_stage(s);
    if (const std::optional<RuleSets> own = s.rule_text.empty() ? std::nullopt : read_rule(s.rule_text).rule)
        return keep_states(cells, own->states - 1);
    keep_states(cells, s.Family == kFamilyLife ? 1 : life_lenght[s.life_rule] - 1);
}

}  // namespace orvex
