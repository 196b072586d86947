#include "seed/rule_notation.h"

namespace orvex {

std::optional<RuleSets> parse_rule(std::string_view text) { return read_rule(text).rule; }

std::optional<CatalogueRule> catalogue_rule(const RuleSets& sets) {
    if (!sets.totalistic()) return std::nullopt;
    const unsigned survive = sets.survive_counts(), birth = sets.birth_counts();
    if (sets.states == 2) {
        for (int r = 0; r < kLifeRuleCount; ++r)
            if (bits_of(life_stable[r]) == survive && bits_of(life_born[r]) == birth) return CatalogueRule{false, r};
        return std::nullopt;
    }
    for (int r = 0; r < kGenerationsRuleCount; ++r)
        if (bits_of(generations_stable[r]) == survive && bits_of(generations_born[r]) == birth &&
            life_lenght[r] == sets.states)
            return CatalogueRule{true, r};
    return std::nullopt;
}

std::optional<CatalogueRule> catalogue_rule(std::string_view text) {
    const std::optional<RuleSets> sets = parse_rule(text);
    return sets ? catalogue_rule(*sets) : std::nullopt;
}

}  // namespace orvex
