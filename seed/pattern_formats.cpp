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
