#include "dialog/rule_choice.h"

#include "config/rule_text.h"
#include "core/rules.h"
#include "seed/pattern_reading.h"

namespace orvex {

TypedRule typed_rule(std::string_view text, int family) {
    TypedRule t;
    const RuleRead read = read_rule(text);
    if (!read.rule) {
        t.message = read.error;
        return t;
    }
    if (const std::optional<CatalogueRule> c = catalogue_match(*read.rule)) {
        t.kind = TypedRule::Kind::Catalogue;
        t.family = !c->generations ? kLifeRules : family == kModifiedGenerationRules ? family : kGenerationRules;
        t.life_rule = c->index;
        return t;
    }
    t.kind = TypedRule::Kind::Own;
    t.rule_text = std::string(trimmed(text));
    return t;
}

std::string rule_shown(int family, int life_rule, const std::string& rule_text) {
    if (!rule_text.empty())
        if (const std::optional<RuleSets> own = read_rule(rule_text).rule) return rule_notation(*own);
    const bool life = family == kLifeRules;
    if (life_rule < 0 || life_rule >= (life ? kLifeRuleCount : kGenerationsRuleCount)) life_rule = 0;
    return rule_notation(catalogue_sets(life ? kLifeRules : kGenerationRules, life_rule));
}

}  // namespace orvex
